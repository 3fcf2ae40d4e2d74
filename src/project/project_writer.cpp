// Formats a project as hex text lines and writes them through a replacing
// file, a block at a time.
#include <string>

#include "base/byte_text.h"
#include "project/gap_line.h"
#include "project/project_file.h"
#include "project/replacing_file.h"

namespace korvalog {
namespace {

constexpr size_t kBlock = size_t{1} << 20;

class ProjectFormatter {
 public:
  explicit ProjectFormatter(ReplacingFile& file) : file_(file) { text_.reserve(kBlock + 512); }

  void Record(const char* tag, const void* bytes, size_t size) {
    text_ += tag;
    const auto* p = static_cast<const uint8_t*>(bytes);
    for (size_t i = 0; i < size; ++i) AppendByteHex(text_, p[i]);
    text_ += "\r\n";
    if (text_.size() >= kBlock) Flush();
  }

  void IndexedRecord(char tag, int index, const void* bytes, size_t size) {
    char head[4] = {tag, 0, 0, 0};
    std::string digits = ByteToHex(static_cast<uint8_t>(index));
    head[1] = digits[0];
    head[2] = digits[1];
    Record(head, bytes, size);
  }

  void Text(const std::string& line) { text_ += line; }

  bool Flush() {
    const bool ok = !failed_ && file_.Write(text_.data(), text_.size());
    failed_ = !ok;
    text_.clear();
    return ok;
  }

 private:
  ReplacingFile& file_;
  std::string text_;
  bool failed_ = false;
};

}  // namespace

FileResult WriteProjectFile(const std::string& path, CaptureData& data, const CaptureView& view,
                            const PositionSnapshot& from, const PositionSnapshot& to) {
  ReplacingFile file(path);
  if (!file.Open()) return FileResult{false, file.Error()};
  ProjectFormatter out(file);
  const TraceList& traces = view.Traces;
  for (int ch = 1; ch <= kChannelCount; ++ch) out.IndexedRecord('S', ch, &traces.Record(ch), sizeof(ChannelRecord));
  for (int row = 1; row <= kSequenceRows; ++row) {
    out.IndexedRecord('Q', row, &view.Sequence[row - 1], sizeof(SequenceRow));
  }
  if (data.DataPresent.load(std::memory_order_acquire) != 0) {
    // Snapshot indices from elsewhere never reach past the valid records.
    const uint32_t count = data.Store.Count();
    const uint32_t end = to.index < count ? to.index : count;
    const EventRecord* events = data.Store.Data();
    for (uint32_t i = from.index; i < end; ++i) out.Record("E", &events[i], sizeof(EventRecord));
  }
  out.Record("L1", &from, sizeof(PositionSnapshot));
  out.Record("L2", &to, sizeof(PositionSnapshot));
  out.Record("O", traces.Order().data(), traces.Order().size());
  // Markers and roles come after every other line, in line kinds older
  // readers pass over.
  std::string marker;
  for (const Marker& m : view.Markers.Items()) {
    if (m.time < from.time || m.time > to.time) continue;
    marker.assign(reinterpret_cast<const char*>(&m.time), sizeof m.time);
    marker += m.label;
    out.Record("M", marker.data(), marker.size());
  }
  // Roles only when assigned, so a project without them is written as before.
  for (int ch = 1; ch <= kChannelCount; ++ch) {
    const ChannelRoleEntry& role = traces.Role(ch);
    if (role.role != ChannelRole::None) out.Text(RoleLine(ch, role) + "\r\n");
  }
  // The site's fields only when filled in, for the same reason.
  for (int i = 0; i < SiteDetails::kFields; ++i) {
    if (!view.Site.Field(i).empty()) out.Text(SiteLine(i, view.Site.Field(i)) + "\r\n");
  }
  // Link gaps last, cut to what is saved; none, and nothing is written.
  for (const GapSpan& gap : GapsWithin(data.Gaps.Spans(), from.time, to.time)) out.Text(GapLine(gap) + "\r\n");
  if (!out.Flush() || !file.Commit()) return FileResult{false, file.Error()};
  data.DataModified.store(0, std::memory_order_release);
  return {};
}

}  // namespace korvalog
