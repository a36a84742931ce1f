// Placeholder so that a module without sources still forms a library.
