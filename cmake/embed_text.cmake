# Turns a UTF-8 text file into a C++ source defining one string constant.
# Invoked as: cmake -DIN=<file> -DOUT=<file.cpp> -DSYMBOL=<name> -P embed_text.cmake
file(READ "${IN}" content)
file(WRITE "${OUT}.tmp" "// Generated from ${IN}; do not edit.\nnamespace pg {\nextern const char* const ${SYMBOL};\nconst char* const ${SYMBOL} = R\"PGTEXT(${content})PGTEXT\";\n}  // namespace pg\n")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
