#include "core/location_view.h"

#include "store/language_table.h"

std::string LocationView::TypeText() const { return services_.language.T(look_.typeKey); }

void LocationView::Property(RowList& rows, Prompter& prompter) {
  const int index = rows.SelectedRow();
  if (index < 0) {
    prompter.NoSelection();
    return;
  }
  prompter.Property(EntryFields{TypeText(), rows.Text(index, kColPath), rows.Text(index, kColName),
                                rows.Text(index, kColData)});
}
