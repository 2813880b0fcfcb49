#include "core/entry_kind.h"

#include "store/language_table.h"

std::string EntryKind::TypeText() const { return services_.language.T(look_.typeKey); }

void EntryKind::Property(RowList& rows, Prompter& prompter) {
  const int index = rows.SelectedRow();
  if (index < 0) {
    prompter.NoSelection();
    return;
  }
  prompter.Property(EntryFields{TypeText(), rows.Text(index, kColLocation), rows.Text(index, kColName),
                                rows.Text(index, kColData)});
}
