#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/history/history.h"
#include "engine/tables/row.h"

namespace engine {

class TAccGrid;

// The changes a table reports to the history. Each keeps the least that takes the table
// back: old cell texts, removed rows, a sort's order; never a copy of the whole table.

// Cell texts written one after another in one table. Runs of whole numbers shifted by the
// same amount in consecutive rows of one column (the balances below a removed or inserted
// posting) are kept as the shift alone.
class CellWrites : public Change {
 public:
  explicit CellWrites(TAccGrid& table) : table_(table) {}
  TAccGrid& Table() const { return table_; }
  // Notes that the cell is about to change from `before` to `after`.
  void Add(int column, int row, std::string_view before, std::string_view after);
  void Undo() override { Apply(true); }
  void Redo() override { Apply(false); }
  std::size_t Bytes() const override;

 private:
  struct Entry {
    std::uint32_t row;
    std::uint32_t count;  // 0: one cell whose other text is in texts_; else a shifted run
    std::uint32_t offset;
    std::uint32_t length;
    std::int64_t shift;
    std::uint8_t column;
  };
  void Apply(bool undo);

  TAccGrid& table_;
  std::vector<Entry> entries_;
  std::string texts_;
};

// Row marks set one after another in one table; runs of consecutive rows that went from
// the same mark to the same mark are kept as one entry.
class MarkWrites : public Change {
 public:
  explicit MarkWrites(TAccGrid& table) : table_(table) {}
  TAccGrid& Table() const { return table_; }
  void Add(int row, std::uint8_t before, std::uint8_t after);
  void Undo() override { Apply(true); }
  void Redo() override { Apply(false); }
  std::size_t Bytes() const override { return sizeof(*this) + entries_.capacity() * sizeof(Entry); }

 private:
  struct Entry {
    std::uint32_t row;
    std::uint32_t count;
    std::uint8_t before;
    std::uint8_t after;
  };
  void Apply(bool undo);

  TAccGrid& table_;
  std::vector<Entry> entries_;
};

// A whole row's texts rewritten: the change holds the other version and swaps it in.
class RowWrite : public Change {
 public:
  RowWrite(TAccGrid& table, int row, Row other)
      : table_(table), row_(row), other_(std::move(other)) {}
  void Undo() override { Swap(); }
  void Redo() override { Swap(); }
  std::size_t Bytes() const override;

 private:
  void Swap();
  TAccGrid& table_;
  int row_;
  Row other_;
};

// Rows appended at the end. Undo takes them, with whatever the step wrote into them, and
// redo puts them back.
class RowsAppended : public Change {
 public:
  RowsAppended(TAccGrid& table, int first) : table_(table), first_(first) {}
  void Grow(int count) { count_ += count; }
  void Undo() override;
  void Redo() override;
  std::size_t Bytes() const override;

 private:
  TAccGrid& table_;
  int first_;
  int count_ = 0;
  std::vector<Row> rows_;
  std::vector<std::uint8_t> marks_;
};

// One row taken out; the change owns it until undo puts it back.
class RowErased : public Change {
 public:
  RowErased(TAccGrid& table, int row, Row removed, std::uint8_t mark)
      : table_(table), row_(row), removed_(std::move(removed)), mark_(mark) {}
  void Undo() override;
  void Redo() override;
  std::size_t Bytes() const override;

 private:
  TAccGrid& table_;
  int row_;
  Row removed_;
  std::uint8_t mark_;
};

// A row dragged from one place to another; the rows between moved by one.
class RowMoved : public Change {
 public:
  RowMoved(TAccGrid& table, int from, int to) : table_(table), from_(from), to_(to) {}
  void Undo() override;
  void Redo() override;
  std::size_t Bytes() const override { return sizeof(*this); }

 private:
  TAccGrid& table_;
  int from_;
  int to_;
};

// A sort: order[i] is the row that now stands at data row i + 1 stood at before.
class RowsSorted : public Change {
 public:
  RowsSorted(TAccGrid& table, std::vector<std::uint32_t> order)
      : table_(table), order_(std::move(order)) {}
  void Undo() override;
  void Redo() override;
  std::size_t Bytes() const override {
    return sizeof(*this) + order_.capacity() * sizeof(std::uint32_t);
  }

 private:
  TAccGrid& table_;
  std::vector<std::uint32_t> order_;
};

// Every data row replaced at once (a journal filled from a file): the other rows are kept.
class RowsReplaced : public Change {
 public:
  RowsReplaced(TAccGrid& table, std::vector<Row> rows, std::vector<std::uint8_t> marks)
      : table_(table), rows_(std::move(rows)), marks_(std::move(marks)) {}
  void Undo() override { Swap(); }
  void Redo() override { Swap(); }
  std::size_t Bytes() const override;

 private:
  void Swap();
  TAccGrid& table_;
  std::vector<Row> rows_;
  std::vector<std::uint8_t> marks_;
};

// What a row's texts hold in memory, for the history's budget.
std::size_t RowBytes(const Row& row);

}  // namespace engine
