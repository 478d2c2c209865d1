#pragma once

#include "app/ListPage.h"

namespace korvane {

class MusicList;
class MusicRowEditor;
class VideoRowEditor;

// The two pages of the window: what the music and the video page make of the one list page.
ListPageKind musicPageKind(MusicList& list, MusicRowEditor& editor);
ListPageKind videoPageKind(VideoRowEditor& editor);

} // namespace korvane
