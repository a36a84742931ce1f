#include "app/profile_text_settings.h"

#include <gtest/gtest.h>

#include "app/app_profile.h"

namespace pg {
namespace {

TEST(ProfileTextSettings, WhatTheTextToolSavesComesBackFromThePreferences) {
  CAppProfile profile;
  CProfileTextSettings store(profile);
  STextToolSettings s;
  s.faceName = "IPAGothic";
  s.size = 24;
  s.charSpacing = 2;
  s.lineSpacing = -3;
  s.charSet = 128;
  s.bold = true;
  s.vertical = true;
  s.text = "kept for the session";
  s.left = 10;
  s.top = 20;
  store.save(s);
  EXPECT_EQ(profile.face, "IPAGothic");
  EXPECT_EQ(profile.point, 24);
  EXPECT_EQ(store.load(), s);

  // A fresh store over the same preferences (the next start) finds the font
  // settings, though not the session's text.
  CProfileTextSettings next(profile);
  STextToolSettings again = next.load();
  EXPECT_EQ(again.faceName, "IPAGothic");
  EXPECT_TRUE(again.vertical);
  EXPECT_EQ(again.charSet, 128);
  EXPECT_EQ(again.text, STextToolSettings{}.text);
}

TEST(ProfileTextSettings, AnUnsetCharacterSetGivesTheDefault) {
  CAppProfile profile;
  profile.charset = -1;
  EXPECT_EQ(CProfileTextSettings(profile).load().charSet, STextToolSettings{}.charSet);
}

}  // namespace
}  // namespace pg
