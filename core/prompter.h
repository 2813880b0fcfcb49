// What the entry kinds ask the user, as typed calls. The entry view implements it with the
// real dialogs and message boxes; tests answer in memory.
#pragma once

#include <optional>
#include <string>

#include "platform/status.h"

struct EntryFields {
  std::string type;      // the kind's type text
  std::string location;  // the location the entry belongs to
  std::string name;      // display name
  std::string data;      // application path / command line
};

struct EntryInput {
  std::string name;
  std::string data;
};

class Prompter {
 public:
  virtual ~Prompter() = default;

  // The Add, Modify and Property dialogs. Add and Modify return nullopt on Cancel.
  virtual std::optional<EntryInput> Add(const std::string& type, const std::string& location) = 0;
  virtual std::optional<EntryInput> Modify(const EntryFields& fields) = 0;
  virtual void Property(const EntryFields& fields) = 0;

  // The remove confirmation, naming the entry by its name and data; true only on Yes.
  virtual bool ConfirmRemove(const std::string& name, const std::string& data) = 0;
  // The no-selection message.
  virtual void NoSelection() = 0;
  // Asks whether an existing entry `name` may be replaced: T(key) formatted with name (the
  // kind says what is replaced, a file or a registry value); true only on Yes.
  virtual bool ConfirmReplace(const std::string& key, const std::string& name) = 0;
  // Tells the user why an operation was stopped: T(key) formatted with arg, followed by the
  // system's text for reason when it is a failure; warning icon.
  virtual void Refused(const std::string& key, const std::string& arg, Status reason) = 0;
};
