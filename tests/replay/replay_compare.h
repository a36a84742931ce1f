#pragma once
// Whether a document's recording gives the document back: replayed from the
// live event store and from a ".kci" saved now, into fresh documents, each
// compared with the original in its layers, masks and composite.
#include <gtest/gtest.h>

#include <string>

#include "io/native_file_reader.h"
#include "io/native_file_writer.h"
#include "io/native_header.h"
#include "replay/replay_fixture.h"
#include "test_support/temp_folder.h"

namespace pg::test {

// The composite buffer as it stands.
inline std::string compositeHash(const TPaper& doc) {
  uint64_t h = 1469598103934665603ull;
  for (int32_t y = 0; y < doc.composite().Height; ++y)
    for (int32_t x = 0; x < doc.composite().Width; ++x) h = (h ^ doc.composite().getPixel(x, y)) * 1099511628211ull;
  return "composite " + std::to_string(h) + "\n";
}

// The whole composite, composed afresh.
inline std::string compositeOf(TPaper& doc) {
  doc.composeRect(SRectXYWH{0, 0, doc.width(), doc.height()}, false);
  return compositeHash(doc);
}

inline std::string fullPicture(TPaper& doc) { return picture(doc) + compositeOf(doc); }

// Replays to the end into a fresh document and answers its picture; fails
// the test when the replay does not reach the end.
inline std::string replayedFrom(const std::function<ReplayStart(CReplaySession&)>& open, const std::string& what) {
  RecordedDoc y(nullptr);
  y.window.replaying = true;
  CReplaySession session(*y.doc, *y.flow);
  EXPECT_EQ(open(session), ReplayStart::Started) << what;
  EXPECT_EQ(session.step(100000), ReplayStep::End) << what;
  return fullPicture(*y.doc);
}

// The document's recording replays to the document: from the live store,
// and from a ".kci" saved now (whose own layers must be the document's too).
inline void expectReplaysAlike(TPaper& doc, const std::string& what) {
  const std::string live = fullPicture(doc);
  CEventMngr& store = *documentEventStore(doc);
  EXPECT_TRUE(store.seal()) << what;
  EXPECT_EQ(replayedFrom([&](CReplaySession& s) { return s.openStore(store); }, what + " (live)"), live) << what;
  pg::testing::TempFolder dir;
  const std::string kci = dir.file("work.kci");
  ASSERT_TRUE(writeNativeFile(kci, doc, kNativeLayers | kNativeMasks | kNativeEvents)) << what;
  EXPECT_TRUE(store.resume()) << what;
  EXPECT_EQ(replayedFrom([&](CReplaySession& s) { return s.open(kci); }, what + " (.kci)"), live) << what;
  // The file read back as a document shows the same layers and composite.
  RecordedDoc loaded(nullptr);
  ASSERT_EQ(readNativeFile(kci, *loaded.doc), kRcOk) << what;
  EXPECT_EQ(fullPicture(*loaded.doc), live) << what << " (read back)";
}

}  // namespace pg::test
