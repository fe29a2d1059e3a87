#pragma once
// Zoom and pan for the drawings of report.html, written into the page: the report opens from a
// file, with nothing fetched.

namespace vesk {

// For the page's style and its last script; a drawing's box takes the class "zoomable".
extern const char* const kZoomStyle;
extern const char* const kZoomScript;

}  // namespace vesk
