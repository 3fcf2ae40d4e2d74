#include "project/export_choices.h"

#include "base/byte_text.h"

namespace korvalog {

std::string WithExportExtension(const std::string& path, ExportFormat format) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  std::string base = path;
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
    ExportFormat known;
    if (ParseExportFormat(std::string_view(path).substr(dot + 1), known)) base = path.substr(0, dot);
  }
  return base + '.' + ExportFormatName(format);
}

std::string ExportNameFor(const std::string& capturePath, ExportFormat format) {
  if (capturePath.empty()) return {};
  const size_t slash = capturePath.find_last_of('/');
  const size_t dot = capturePath.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  return (hasExtension ? capturePath.substr(0, dot) : capturePath) + '.' + ExportFormatName(format);
}

bool ParseExportChannelList(const std::string& text, std::vector<int>& out, std::string& error) {
  size_t pos = 0;
  while (true) {
    const size_t comma = std::min(text.find(',', pos), text.size());
    std::string item = text.substr(pos, comma - pos);
    const size_t first = item.find_first_not_of(' ');
    item = first == std::string::npos ? "" : item.substr(first, item.find_last_not_of(' ') - first + 1);
    const bool digits = !item.empty() && item.size() <= 3 && item.find_first_not_of("0123456789") == std::string::npos;
    const int value = digits ? TextToInt(item) : 0;
    if (value < 1 || value > kChannelCount) {
      error = "not a channel 1..128: '" + item + "'";
      return false;
    }
    out.push_back(value);
    if (comma == text.size()) return true;
    pos = comma + 1;
  }
}

bool MakeExportRequest(const ExportChoices& choices, const PositionSnapshot& selectionStart,
                       const PositionSnapshot& selectionEnd, ExportRequest& request, std::string& error) {
  request = ExportRequest{};
  request.format = choices.format;
  if (choices.path.empty()) {
    error = "no file chosen";
    return false;
  }
  request.path = choices.path;
  if (choices.selectionOnly) {
    request.from = selectionStart.time;
    request.to = selectionEnd.time;
  }
  request.allChannels = choices.channelSet == ChannelSet::All;
  if (choices.channelSet == ChannelSet::List && !ParseExportChannelList(choices.channelList, request.channels, error)) {
    return false;
  }
  request.wideCsv = WideApplies(choices.format) && choices.wideCsv;
  if (WidthApplies(choices.format)) {
    if (choices.width < kMinPictureWidth || choices.width > kMaxPictureWidth) {
      error = "the width must be " + std::to_string(kMinPictureWidth) + ".." + std::to_string(kMaxPictureWidth) +
              " pixels";
      return false;
    }
    request.width = choices.width;
  }
  return true;
}

}  // namespace korvalog
