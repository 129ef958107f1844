#include "engine/history/table_changes.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <utility>

#include "engine/base/integer.h"
#include "engine/tables/acc_grid.h"

namespace engine {

// The changes reach into the table's storage: they restore exactly what was there, without
// the table's own rules, and record nothing themselves.
class TableEdits {
 public:
  static std::vector<Row>& Rows(TAccGrid& table) { return table.rows_; }
  static std::vector<std::uint8_t>& Marks(TAccGrid& table) { return table.marks_; }
};

namespace {

// The value of a text that IntToText would write back unchanged, or nothing.
std::optional<std::int32_t> CanonicalInt(std::string_view text) {
  if (text.empty() || text.size() > 11) return std::nullopt;
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (IntToText(value) != text) return std::nullopt;
  return value;
}

Row& RowOf(TAccGrid& table, std::uint32_t row) {
  return TableEdits::Rows(table)[row];
}

}  // namespace

std::size_t RowBytes(const Row& row) {
  return sizeof(Row) + row.TextSize();
}

void CellWrites::Add(int column, int row, std::string_view before, std::string_view after) {
  const auto r = static_cast<std::uint32_t>(row);
  const auto c = static_cast<std::uint8_t>(column);
  const std::optional<std::int32_t> from = CanonicalInt(before);
  const std::optional<std::int32_t> to = from ? CanonicalInt(after) : std::nullopt;
  if (from && to) {
    const std::int64_t shift = std::int64_t{*to} - *from;
    if (!entries_.empty()) {
      Entry& last = entries_.back();
      if (last.count > 0 && last.column == c && last.shift == shift && last.row + last.count == r) {
        ++last.count;
        return;
      }
    }
    entries_.push_back({r, 1, 0, 0, shift, c});
    return;
  }
  entries_.push_back({r, 0, static_cast<std::uint32_t>(texts_.size()),
                      static_cast<std::uint32_t>(before.size()), 0, c});
  texts_.append(before);
}

void CellWrites::Apply(bool undo) {
  // Texts are swapped: the cell gets the kept text and the change keeps the cell's.
  std::string texts;
  texts.reserve(texts_.size());
  auto applyOne = [&](Entry& e) {
    if (e.count > 0) {
      const std::int64_t shift = undo ? -e.shift : e.shift;
      for (std::uint32_t r = e.row; r < e.row + e.count; ++r) {
        Row& row = RowOf(table_, r);
        const std::int64_t value = ReadInt(row.Cell(e.column)) + shift;
        row.SetCell(e.column, IntToText(static_cast<std::int32_t>(value)));
      }
      return;
    }
    Row& row = RowOf(table_, e.row);
    const std::string current(row.Cell(e.column));
    row.SetCell(e.column, std::string_view(texts_).substr(e.offset, e.length));
    e.offset = static_cast<std::uint32_t>(texts.size());
    e.length = static_cast<std::uint32_t>(current.size());
    texts.append(current);
  };
  if (undo) {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) applyOne(*it);
  } else {
    for (Entry& e : entries_) applyOne(e);
  }
  texts_.swap(texts);
}

std::size_t CellWrites::Bytes() const {
  return sizeof(*this) + entries_.capacity() * sizeof(Entry) + texts_.capacity();
}

void MarkWrites::Add(int row, std::uint8_t before, std::uint8_t after) {
  const auto r = static_cast<std::uint32_t>(row);
  if (!entries_.empty()) {
    Entry& last = entries_.back();
    if (last.before == before && last.after == after && last.row + last.count == r) {
      ++last.count;
      return;
    }
  }
  entries_.push_back({r, 1, before, after});
}

void MarkWrites::Apply(bool undo) {
  auto& marks = TableEdits::Marks(table_);
  auto applyOne = [&](const Entry& e) {
    std::fill_n(marks.begin() + e.row, e.count, undo ? e.before : e.after);
  };
  if (undo) {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) applyOne(*it);
  } else {
    for (const Entry& e : entries_) applyOne(e);
  }
}

void RowWrite::Swap() {
  using std::swap;
  swap(RowOf(table_, static_cast<std::uint32_t>(row_)), other_);
}

std::size_t RowWrite::Bytes() const {
  return sizeof(*this) + other_.TextSize();
}

void RowsAppended::Undo() {
  auto& rows = TableEdits::Rows(table_);
  auto& marks = TableEdits::Marks(table_);
  rows_.assign(std::make_move_iterator(rows.begin() + first_), std::make_move_iterator(rows.end()));
  marks_.assign(marks.begin() + first_, marks.end());
  rows.resize(static_cast<std::size_t>(first_));
  marks.resize(static_cast<std::size_t>(first_));
}

void RowsAppended::Redo() {
  auto& rows = TableEdits::Rows(table_);
  auto& marks = TableEdits::Marks(table_);
  rows.insert(rows.end(), std::make_move_iterator(rows_.begin()),
              std::make_move_iterator(rows_.end()));
  marks.insert(marks.end(), marks_.begin(), marks_.end());
  rows_.clear();
  marks_.clear();
}

std::size_t RowsAppended::Bytes() const {
  std::size_t bytes = sizeof(*this) + marks_.capacity();
  for (const Row& row : rows_) bytes += RowBytes(row);
  return bytes;
}

void RowErased::Undo() {
  auto& rows = TableEdits::Rows(table_);
  auto& marks = TableEdits::Marks(table_);
  rows.insert(rows.begin() + row_, std::move(removed_));
  marks.insert(marks.begin() + row_, mark_);
}

void RowErased::Redo() {
  auto& rows = TableEdits::Rows(table_);
  auto& marks = TableEdits::Marks(table_);
  removed_ = std::move(rows[static_cast<std::size_t>(row_)]);
  mark_ = marks[static_cast<std::size_t>(row_)];
  rows.erase(rows.begin() + row_);
  marks.erase(marks.begin() + row_);
}

std::size_t RowErased::Bytes() const {
  return sizeof(*this) + removed_.TextSize();
}

namespace {

// The row at `from` goes to `to`; the rows between shift by one place.
template <typename T>
void Rotate(std::vector<T>& items, int from, int to) {
  const auto first = items.begin();
  if (from < to) {
    std::rotate(first + from, first + from + 1, first + to + 1);
  } else {
    std::rotate(first + to, first + from, first + from + 1);
  }
}

}  // namespace

void RowMoved::Undo() {
  Rotate(TableEdits::Rows(table_), to_, from_);
  Rotate(TableEdits::Marks(table_), to_, from_);
}

void RowMoved::Redo() {
  Rotate(TableEdits::Rows(table_), from_, to_);
  Rotate(TableEdits::Marks(table_), from_, to_);
}

namespace {

// Puts the data rows back where `order` says they stood (undo), or into the order again.
template <typename T>
void Reorder(std::vector<T>& items, const std::vector<std::uint32_t>& order, bool undo) {
  std::vector<T> result(items.size());
  result[0] = std::move(items[0]);
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (undo) {
      result[order[i]] = std::move(items[i + 1]);
    } else {
      result[i + 1] = std::move(items[order[i]]);
    }
  }
  items.swap(result);
}

}  // namespace

void RowsSorted::Undo() {
  Reorder(TableEdits::Rows(table_), order_, true);
  Reorder(TableEdits::Marks(table_), order_, true);
}

void RowsSorted::Redo() {
  Reorder(TableEdits::Rows(table_), order_, false);
  Reorder(TableEdits::Marks(table_), order_, false);
}

void RowsReplaced::Swap() {
  auto& rows = TableEdits::Rows(table_);
  auto& marks = TableEdits::Marks(table_);
  // The heading stays with the table.
  std::swap(rows[0], rows_[0]);
  rows.swap(rows_);
  marks.swap(marks_);
}

std::size_t RowsReplaced::Bytes() const {
  std::size_t bytes = sizeof(*this) + marks_.capacity();
  for (const Row& row : rows_) bytes += RowBytes(row);
  return bytes;
}

}  // namespace engine
