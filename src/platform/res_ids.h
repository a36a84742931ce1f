#pragma once
// Named ids of the resource strings (data/strings.ja.txt) that no module has
// named yet. Ids a module already names stay with it: the warning caption in
// platform/message_service.h, the document's words and warnings in
// document/, the recorder's in record/, the file messages in io/, the brush
// and tool names in brush/ and canvas/.
#include <array>
#include <cstdint>

namespace pg {

// ---- Document window ---------------------------------------------------------
inline constexpr uint32_t kResUntitledWord = 69408;          // "名称未設定", a layer saved from an untitled document
inline constexpr uint32_t kResUntitledName = 65117;          // "名称未設定 %d" (counter)
inline constexpr uint32_t kResAskClearUndo = 65123;          // Yes/No
inline constexpr uint32_t kResColorRangeNew = 65043;         // colour-range mode words: new,
inline constexpr uint32_t kResColorRangeAdd = 65044;         // add,
inline constexpr uint32_t kResColorRangeRemove = 65045;      // remove
inline constexpr uint32_t kResNoValidSelection = 65071;
inline constexpr uint32_t kResCannotAddMore = 65125;         // "これ以上%sを追加できません！" (what)
inline constexpr uint32_t kResCursorKeyModeOn = 65126;       // status panel 3
inline constexpr uint32_t kResCursorKeyModeOff = 65127;      // status panel 3
inline constexpr uint32_t kResPointListFailed = 65140;
inline constexpr uint32_t kResOutOfMemoryIncomplete = 65143;
inline constexpr uint32_t kResLayerMoveFailed = 65150;
inline constexpr uint32_t kResAskEndReplay = 65152;          // Yes/No
inline constexpr uint32_t kResAskEndRecording = 65176;       // OK/Cancel
inline constexpr uint32_t kResAskSaveEvents = 65177;         // Yes/No
inline constexpr uint32_t kResReplayPlay = 65325;            // event view caption "%s - %s" with 65266
inline constexpr uint32_t kResReplayPause = 65326;
inline constexpr uint32_t kResSavedAs = 65202;               // "%s として保存しました" (path)
inline constexpr uint32_t kResSavedBitmap = 65203;
inline constexpr uint32_t kResSavedJpeg = 65204;
inline constexpr uint32_t kResSavedInFormat = 65205;         // "%s形式で画像を保存しました" (format)
inline constexpr uint32_t kResLayerSaved = 65206;
inline constexpr uint32_t kResLayerSaveFailed = 65207;
inline constexpr uint32_t kResUnsupportedFormat = 65208;     // "%s は未対応の形式です" (name)
inline constexpr uint32_t kResSaveFailed = 65209;            // "%s\rの保存に失敗しました!" (path)
inline constexpr uint32_t kResSaveKindRefused = 65210;
inline constexpr uint32_t kResNoClipboardBitmap = 65172;
// "\"%s\" は変更されています。\r保存しますか？" (document or set name), Yes/No/Cancel;
// the tool window asks it for its preset sets too.
inline constexpr uint32_t kResAskSaveChanged = 65211;

// ---- Replay driver -------------------------------------------------------------
inline constexpr uint32_t kResBadEventPacket = 65153;
// The start messages by start result 0..4: started, any other failure, file
// error, packet check error, version error.
inline constexpr std::array<uint32_t, 5> kResReplayStart = {65162, 65163, 65164, 65165, 65166};

// ---- Widget layer: hints ("short|long") and the progress times --------------------
inline constexpr uint32_t kResHintPressureGamma = 64949;
inline constexpr uint32_t kResHintNibReset = 64950;          // preview rectangle
inline constexpr uint32_t kResHintNibImageScale = 64951;
inline constexpr uint32_t kResHintNibMaxRadius = 64952;
inline constexpr uint32_t kResHintNibMinRadius = 64953;
inline constexpr uint32_t kResHintNibFlatAngle = 64954;
inline constexpr uint32_t kResHintNibList = 64955;
inline constexpr uint32_t kResHintNibDisplay = 64956;
inline constexpr uint32_t kResHintNibFlattening = 64957;
inline constexpr uint32_t kResHintNibAngle = 64958;
// The view grabber's parts 1..8: dial, slider, reset, 90°, 180°, -90°, zoom in, zoom out.
inline constexpr std::array<uint32_t, 8> kResHintGrabber = {64912, 64913, 64914, 64915, 64916, 64917, 64918, 64919};
inline constexpr uint32_t kResProgressElapsed = 64769;       // "経過: %d:%2.2d:%2.2d.%3.3d" (h, m, s, ms)
inline constexpr uint32_t kResProgressRemaining = 64770;     // "残り: ..." (h, m, s, ms)

// The names of the six brush shapes (freehand, line, polyline, rectangle,
// ellipse, polygon): the brush-shape menu and the tool numbering show them.
inline constexpr std::array<uint32_t, 6> kResShapeSubModeNames = {64959, 64928, 64929, 64930, 64931, 64932};

// ---- Tool window -----------------------------------------------------------------
// The hints of the sixteen tool buttons in button order.
inline constexpr std::array<uint32_t, 16> kResToolButtonHints = {
    65008, 65009, 65010, 65011, 65012, 65016, 65019, 64992, 64996, 65001, 65002, 65004, 65007, 64976, 64977, 64978};
inline constexpr uint32_t kResHintNavigatorZoomIn = 64962;
inline constexpr uint32_t kResHintNavigatorZoomOut = 64963;
inline constexpr uint32_t kResPanelNavigator = 65033;
inline constexpr uint32_t kResPanelInformation = 65034;
inline constexpr uint32_t kResPanelColor = 65281;
inline constexpr uint32_t kResPanelEvents = 65036;
inline constexpr uint32_t kResPanelLayers = 65037;
inline constexpr uint32_t kResPanelMasks = 65038;
inline constexpr uint32_t kResDegreeSign = 65285;

// ---- Shell -----------------------------------------------------------------------
inline constexpr uint32_t kResAskPaletteDisplay = 65226;     // "%s はパレットモード..." (product name), Yes/No
inline constexpr uint32_t kResRecentFilesMenu = 65077;
inline constexpr uint32_t kResExpandSelectionCaption = 64942;
inline constexpr uint32_t kResContractSelectionCaption = 64943;
inline constexpr uint32_t kResScalingCaption = 64753;
inline constexpr uint32_t kResTimesSign = 65076;             // "×" between width and height
inline constexpr uint32_t kResPixelGroupCaption = 65079;     // "ピクセル ( %.0f × %.0f px )" (w, h)
inline constexpr uint32_t kResColorBlack = 65289;            // new layer dialog colour list
inline constexpr uint32_t kResColorWhite = 65290;
inline constexpr uint32_t kResColorGray = 65291;
inline constexpr uint32_t kResNeutralColor = 65292;

}  // namespace pg
