// A location view: one of the three entry kinds (registry run keys, startup folders, list
// values) bound to its location list. The entry view form calls these operations; they work
// on the form's rows and ask the user through the prompter.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/prompter.h"
#include "core/row_list.h"
#include "store/kind_id.h"

class Registry;
class FileSystem;
class ShellLinks;
class DisabledStore;
class Journal;
class LanguageTable;

// What the entry kinds work with; all owned elsewhere and outliving the views.
struct KindServices {
  Registry& registry;
  FileSystem& files;
  ShellLinks& links;
  DisabledStore& store;
  Journal& journal;
  const LanguageTable& language;
};

// What tells the kinds apart on the form: the kind, the language key of its type text and its
// column widths 0 to 3 in pixels at 96 DPI.
struct KindLook {
  KindId kind;
  const char* typeKey;
  std::array<int, 4> columnWidths;
};

class EntryKind {
 public:
  EntryKind(KindServices& services, std::vector<std::string> locations, const KindLook& look)
      : services_(services), locations_(std::move(locations)), look_(look) {}
  virtual ~EntryKind() = default;
  EntryKind(const EntryKind&) = delete;
  EntryKind& operator=(const EntryKind&) = delete;

  KindId Kind() const { return look_.kind; }
  const std::vector<std::string>& Locations() const { return locations_; }
  // The type text of column 1 and of the dialogs' Type field, translated.
  std::string TypeText() const;
  // Column widths 0 to 3 in pixels at 96 DPI.
  std::array<int, 4> ColumnWidths() const { return look_.columnWidths; }

  virtual void Refresh(RowList& rows) = 0;
  virtual void Add(RowList& rows, Prompter& prompter) = 0;
  virtual void Modify(RowList& rows, Prompter& prompter) = 0;
  virtual void Remove(RowList& rows, Prompter& prompter) = 0;
  // The same for every kind: the selected row's texts in the Property dialog, nothing changed.
  void Property(RowList& rows, Prompter& prompter);
  // Run after row's check mark changed; they do not refresh the list.
  virtual void Enable(RowList& rows, Prompter& prompter, int row) = 0;
  virtual void Disable(RowList& rows, Prompter& prompter, int row) = 0;

 protected:
  KindServices& services_;
  std::vector<std::string> locations_;

 private:
  KindLook look_;
};
