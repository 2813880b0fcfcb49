#include "core/startup_approved.h"

#include "core/ansi_text.h"
#include "core/location_split.h"
#include "platform/registry.h"

namespace {

constexpr char kApprovedBase[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved";
constexpr char kHkcuRun[] = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kHklmRun[] = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kHklmRun32[] =
    "HKEY_LOCAL_MACHINE\\Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";

// Bytes 4 to 11 of a switched-off value: when it was switched off.
constexpr std::size_t kDateOffset = 4;
constexpr std::size_t kValueSize = 12;
constexpr char kOnByte = 0x02;

// The form locations and names are compared in: upper case, without outer backslashes.
std::string KeyForm(const std::string& text) {
  return UpperCaseIn(TrimBackslashes(text));
}

}  // namespace

ApprovedState ParseApprovedValue(const std::string& bytes) {
  ApprovedState state;
  if (bytes.empty() || (static_cast<unsigned char>(bytes[0]) & 1) == 0) return state;
  state.off = true;
  if (bytes.size() >= kValueSize) {
    for (std::size_t i = 0; i < 8; ++i) {
      state.offSince |= std::uint64_t{static_cast<unsigned char>(bytes[kDateOffset + i])}
                        << (8 * i);
    }
  }
  return state;
}

std::string SwitchedOnValue() {
  std::string bytes(kValueSize, '\0');
  bytes[0] = kOnByte;
  return bytes;
}

void ApprovedPlaces::Add(const std::string& location, HKEY root, std::string subkey) {
  std::string form = KeyForm(location);
  if (form.empty()) return;
  places_.push_back(Place{std::move(form), ApprovedKey{root, std::move(subkey)}});
}

std::optional<ApprovedKey> ApprovedPlaces::KeyFor(const std::string& location) const {
  const std::string form = KeyForm(location);
  for (const Place& place : places_) {
    if (place.location == form) return place.key;
  }
  return std::nullopt;
}

ApprovedPlaces WindowsApprovedPlaces(const std::string& allUsersFolder,
                                     const std::string& currentUserFolder) {
  const std::string base = kApprovedBase;
  ApprovedPlaces places;
  places.Add(kHkcuRun, HKEY_CURRENT_USER, base + "\\Run");
  places.Add(kHklmRun, HKEY_LOCAL_MACHINE, base + "\\Run");
  places.Add(kHklmRun32, HKEY_LOCAL_MACHINE, base + "\\Run32");
  places.Add(allUsersFolder, HKEY_LOCAL_MACHINE, base + "\\StartupFolder");
  places.Add(currentUserFolder, HKEY_CURRENT_USER, base + "\\StartupFolder");
  return places;
}

ApprovedStates::ApprovedStates(Registry& registry, const ApprovedKey& key) {
  std::optional<std::vector<RegValue>> values = registry.ListValues(key.root, key.subkey);
  if (!values) return;
  for (const RegValue& value : *values) {
    // A name without an exact 8-bit form could stand for another entry's name.
    if (value.type != REG_BINARY || !value.exact) continue;
    states_.emplace(UpperCaseIn(value.name), ParseApprovedValue(value.data));
  }
}

ApprovedState ApprovedStates::Of(const std::string& name) const {
  const auto found = states_.find(UpperCaseIn(name));
  return found == states_.end() ? ApprovedState{} : found->second;
}

ApprovedState ReadApproved(Registry& registry, const ApprovedKey& key, const std::string& name) {
  const RegRead read = registry.ReadValue(key.root, key.subkey, name);
  if (read.status != RegReadStatus::kOk || read.value.type != REG_BINARY) return {};
  return ParseApprovedValue(read.value.data);
}

Status SwitchOn(Registry& registry, const ApprovedKey& key, const std::string& name,
                std::string* before) {
  if (before) before->clear();
  const RegRead read = registry.ReadValue(key.root, key.subkey, name);
  if (IsAbsent(read)) return Status();
  if (read.status != RegReadStatus::kOk) return read.reason;
  if (read.value.type != REG_BINARY || !ParseApprovedValue(read.value.data).off) return Status();
  const Status written = registry.WriteBinary(key.root, key.subkey, name, SwitchedOnValue(), false);
  if (written && before) *before = read.value.data;
  return written;
}

void PutApprovedBack(Registry& registry, const ApprovedKey& key, const std::string& name,
                     const std::string& before) {
  if (!before.empty()) registry.WriteBinary(key.root, key.subkey, name, before, false);
}

void MoveApproved(Registry& registry, const ApprovedKey& key, const std::string& from,
                  const std::string& to) {
  const RegRead read = registry.ReadValue(key.root, key.subkey, from);
  if (read.status != RegReadStatus::kOk || read.value.type != REG_BINARY) return;
  if (registry.WriteBinary(key.root, key.subkey, to, read.value.data, false)) {
    registry.DeleteValue(key.root, key.subkey, from);
  }
}

Status DeleteApproved(Registry& registry, const ApprovedKey& key, const std::string& name) {
  const RegRead read = registry.ReadValue(key.root, key.subkey, name);
  if (IsAbsent(read)) return Status();
  if (read.status != RegReadStatus::kOk) return read.reason;
  if (read.value.type != REG_BINARY) return Status();  // not Windows' switch: left alone
  return registry.DeleteValue(key.root, key.subkey, name);
}
