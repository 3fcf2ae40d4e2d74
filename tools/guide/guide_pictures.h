#pragma once
// The user guide's pictures: the program's own windows with the sample
// recording loaded, drawn on the offscreen platform. Each picture is named
// as the guide refers to it ("main-window.png").
#include <QImage>
#include <QString>
#include <map>
#include <string>

namespace korvalog::guide {

// Opens `samplePath` in the main window and draws the windows the guide
// shows. Needs a QApplication; leaves no window open.
std::map<QString, QImage> DrawGuidePictures(const std::string& samplePath);

}  // namespace korvalog::guide
