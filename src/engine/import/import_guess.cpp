#include <algorithm>
#include <initializer_list>

#include "engine/base/cp932.h"
#include "engine/base/date.h"
#include "engine/import/import_profile.h"

namespace engine::import {

namespace {

// The first column (1-based) whose heading holds one of the words, apart from the columns
// `skip` names, or 0.
int Find(const std::vector<QString>& keys, std::initializer_list<const char16_t*> words,
         std::initializer_list<int> skip = {}) {
  for (const char16_t* word : words) {
    for (std::size_t i = 0; i < keys.size(); ++i) {
      const int column = static_cast<int>(i) + 1;
      if (std::find(skip.begin(), skip.end(), column) == skip.end() &&
          keys[i].contains(QStringView(word)))
        return column;
    }
  }
  return 0;
}

}  // namespace

ImportProfile GuessProfile(const std::vector<QString>& first, Encoding encoding, char delimiter) {
  ImportProfile p;
  p.encoding = encoding;
  p.delimiter = delimiter;
  const int year = Today().year();
  int dateColumn = 0, amountColumn = 0, textColumn = 0;
  for (std::size_t i = 0; i < first.size(); ++i) {
    const int column = static_cast<int>(i) + 1;
    if (!dateColumn && ParseStatementDate(first[i], DateOrder::YearMonthDay, year).ok()) {
      dateColumn = column;
    } else if (ParseStatementAmount(first[i]).ok()) {
      amountColumn = column;
    } else if (!textColumn && !first[i].trimmed().isEmpty()) {
      textColumn = column;
    }
  }
  if (dateColumn) {
    p.header = false;
    p.dateColumn = dateColumn;
    p.amountColumn = amountColumn ? amountColumn : 1;
    p.descriptionColumns = {textColumn ? textColumn : 1};
    return p;
  }
  std::vector<QString> keys;
  for (const QString& field : first) keys.push_back(ComparisonKey(field));
  p.header = true;
  p.dateColumn = Find(keys, {u"日付", u"取引日", u"利用日", u"年月日", u"date", u"日"});
  if (!p.dateColumn) p.dateColumn = 1;
  // A column that only says which way the money went ("入出金", "区分") is no amount column.
  const int kind = Find(keys, {u"入出金", u"入払", u"取引区分", u"区分"});
  const int out =
      Find(keys, {u"出金", u"引出", u"お引出", u"支払", u"払戻", u"withdrawal", u"debit"}, {kind});
  const int in = Find(keys, {u"入金", u"預入", u"お預入", u"deposit", u"credit"}, {kind, out});
  if (kind && !(out && in)) {
    p.amountStyle = AmountStyle::Indicator;
    p.indicatorColumn = kind;
    p.amountColumn = Find(keys, {u"金額", u"取引額", u"amount", u"額"}, {kind});
    if (!p.amountColumn) p.amountColumn = out ? out : (in ? in : 1);
    p.inWords = {Sjis("入金")};
    p.outWords = {Sjis("出金")};
  } else if (out && in) {
    p.amountStyle = AmountStyle::Split;
    p.withdrawalColumn = out;
    p.depositColumn = in;
  } else {
    p.amountColumn = Find(keys, {u"金額", u"利用額", u"amount", u"額"});
    if (!p.amountColumn) p.amountColumn = out ? out : (in ? in : 1);
    // A card statement lists its charges as positive amounts.
    p.negativeIsOut = !(keys[static_cast<std::size_t>(p.amountColumn - 1)].contains(u"利用") ||
                        out == p.amountColumn);
  }
  const int text = Find(keys, {u"摘要", u"内容", u"利用店", u"店名", u"利用先", u"取引先",
                               u"description", u"memo", u"payee", u"名称"});
  p.descriptionColumns = {text ? text : (p.dateColumn == 1 ? 2 : 1)};
  return p;
}

}  // namespace engine::import
