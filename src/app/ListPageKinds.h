#pragma once

#include "app/ListPage.h"

namespace korvane {

class MusicList;
class MusicRowEditor;
class VideoList;
class VideoRowEditor;

// The two pages of the window: what the music and the video page make of the one list page.
ListPageKind musicPageKind(MusicList& list, MusicRowEditor& editor, PageFrame& frame);
ListPageKind videoPageKind(VideoList& list, VideoRowEditor& editor, PageFrame& frame);

} // namespace korvane
