// Feeds arbitrary bytes to the ROLES reader: a text it takes writes back to
// a text that reads as the same roles, and a text it refuses gets one line
// of message with no control byte in it.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/channel_roles.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  using namespace korvalog;
  using fuzz::Broken;
  const std::string_view text(reinterpret_cast<const char*>(bytes), size);
  ChannelRoles roles;
  roles.Set(1, ChannelRole::Alarm);
  const ChannelRoles before = roles;
  std::string error;
  if (!ParseRolesText(text, roles, error)) {
    if (error.empty()) Broken("a refused text has no message");
    for (const char c : error) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte < 0x20 || byte == 0x7F) Broken("a message holds a control byte");
    }
    if (!(roles == before)) Broken("a refused text changed the roles");
    return 0;
  }
  const std::string written = FormatRolesText(roles);
  ChannelRoles again;
  if (!ParseRolesText(written, again, error)) Broken("written roles did not read back");
  if (!(again == roles)) Broken("written roles read back different");
  return 0;
}
