#include "engine/import/field_parsers.h"

#include <QRegularExpression>

#include "engine/base/cp932.h"
#include "engine/base/integer.h"

namespace engine::import {

namespace {

std::string Reason(const char* utf8Template, QStringView text) {
  return FormatMessage(Sjis(utf8Template), ToCp932(text.left(40)).value_or(std::string("?")));
}

QString Folded(QStringView text) {
  // NFKC turns full-width digits, letters and signs into ASCII and the era ligatures (㋿, ㍻)
  // into their two characters.
  return text.toString().normalized(QString::NormalizationForm_KC).trimmed();
}

struct Era {
  const char16_t* name;
  char16_t letter;
  int offset;  // the Western year of the era's year 0
  Date first;
  Date last;
};

constexpr Era kEras[] = {
    {u"令和", u'R', 2018, {2019, 5, 1}, {9999, 12, 31}},
    {u"平成", u'H', 1988, {1989, 1, 8}, {2019, 4, 30}},
    {u"昭和", u'S', 1925, {1926, 12, 25}, {1989, 1, 7}},
};

}  // namespace

const char* DateOrderName(DateOrder order) {
  switch (order) {
    case DateOrder::YearMonthDay:
      return "ymd";
    case DateOrder::MonthDayYear:
      return "mdy";
    case DateOrder::DayMonthYear:
      return "dmy";
  }
  return "ymd";
}

std::optional<DateOrder> DateOrderFromName(std::string_view name) {
  for (const DateOrder o :
       {DateOrder::YearMonthDay, DateOrder::MonthDayYear, DateOrder::DayMonthYear}) {
    if (name == DateOrderName(o)) return o;
  }
  return std::nullopt;
}

Parsed<Date> ParseStatementDate(QStringView text, DateOrder order, int currentYear) {
  static const QRegularExpression kTime(QStringLiteral("^(.*?)[ T]\\d{1,2}:\\d{2}(:\\d{2})?$"));
  static const QRegularExpression kEra(
      QStringLiteral("^(令和|平成|昭和|[RHSrhs])\\s*(元|\\d{1,2})\\s*[年./-]\\s*(\\d{1,2})\\s*[月./"
                     "-]\\s*(\\d{1,2})"
                     "\\s*日?$"));
  static const QRegularExpression kKanji(
      QStringLiteral("^(\\d{2}|\\d{4})\\s*年\\s*(\\d{1,2})\\s*月\\s*(\\d{1,2})\\s*日$"));
  static const QRegularExpression kEight(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
  static const QRegularExpression kSeparated(
      QStringLiteral("^(\\d{1,4})\\s*([/.-])\\s*(\\d{1,2})\\s*\\2\\s*(\\d{1,4})$"));

  Parsed<Date> result;
  QString s = Folded(text);
  if (s.isEmpty()) {
    result.reason = Sjis("日付がありません");
    return result;
  }
  if (const auto m = kTime.match(s); m.hasMatch()) s = m.captured(1).trimmed();

  int year = 0, month = 0, day = 0;
  bool twoDigitYear = false;
  if (const auto m = kEra.match(s); m.hasMatch()) {
    const QString name = m.captured(1);
    const Era* era = nullptr;
    for (const Era& e : kEras) {
      if (name == QStringView(e.name) || (name.size() == 1 && name[0].toUpper() == QChar(e.letter)))
        era = &e;
    }
    const int eraYear = m.captured(2) == QStringLiteral("元") ? 1 : m.captured(2).toInt();
    year = era->offset + eraYear;
    month = m.captured(3).toInt();
    day = m.captured(4).toInt();
    const Date date{year, month, day};
    if (eraYear < 1 || !IsValidDate(year, month, day) || date < era->first || date > era->last) {
      result.reason = Reason("'%s' はその元号にない日付です", text);
      return result;
    }
  } else if (const auto k = kKanji.match(s); k.hasMatch()) {
    year = k.captured(1).toInt();
    twoDigitYear = k.capturedLength(1) == 2;
    month = k.captured(2).toInt();
    day = k.captured(3).toInt();
  } else if (const auto e = kEight.match(s); e.hasMatch()) {
    year = e.captured(1).toInt();
    month = e.captured(2).toInt();
    day = e.captured(3).toInt();
  } else if (const auto p = kSeparated.match(s); p.hasMatch()) {
    const QString a = p.captured(1), b = p.captured(3), c = p.captured(4);
    QString y;
    switch (order) {
      case DateOrder::YearMonthDay:
        y = a;
        month = b.toInt();
        day = c.toInt();
        if (c.size() > 2) {
          result.reason = Reason("'%s' は年/月/日の順の日付ではありません", text);
          return result;
        }
        break;
      case DateOrder::MonthDayYear:
        month = a.toInt();
        day = b.toInt();
        y = c;
        break;
      case DateOrder::DayMonthYear:
        day = a.toInt();
        month = b.toInt();
        y = c;
        break;
    }
    if (order != DateOrder::YearMonthDay && a.size() > 2) {
      result.reason = Reason("'%s' は年が最後の日付ではありません", text);
      return result;
    }
    if (y.size() == 3 || y.size() == 1) {
      result.reason = Reason("'%s' は日付ではありません", text);
      return result;
    }
    year = y.toInt();
    twoDigitYear = y.size() == 2;
  } else {
    result.reason = Reason("'%s' は日付ではありません", text);
    return result;
  }
  if (twoDigitYear) year = WindowYear(year, currentYear);
  if (!IsValidDate(year, month, day)) {
    result.reason = Reason("'%s' は日付ではありません", text);
    return result;
  }
  // The journal keeps two-digit years; a date outside the window would come back in the
  // wrong century.
  if (WindowYear(year % 100, currentYear) != year) {
    const int first = currentYear - 50;
    result.reason =
        FormatMessage(Sjis("'%s' は家計簿に書ける年の範囲の外です"),
                      ToCp932(text.left(40)).value_or(std::string("?")) + " (" +
                          std::to_string(first) + "-" + std::to_string(first + 99) + ")");
    return result;
  }
  result.value = Date{year, month, day};
  return result;
}

Parsed<std::int32_t> ParseStatementAmount(QStringView text) {
  Parsed<std::int32_t> result;
  QString s = Folded(text);
  s.remove(QLatin1Char(' '));
  if (s.isEmpty()) return result;
  bool negative = false;
  if (s.startsWith(QLatin1Char('(')) && s.endsWith(QLatin1Char(')'))) {
    negative = true;
    s = s.mid(1, s.size() - 2);
  }
  auto strip = [&](QStringView prefix) {
    if (!s.startsWith(prefix)) return false;
    s.remove(0, prefix.size());
    return true;
  };
  for (int round = 0; round < 2; ++round) {
    if (strip(u"-") || strip(u"\u2212") || strip(u"△") || strip(u"▲") || strip(u"▼")) {
      if (negative) {
        result.reason = Reason("'%s' は金額ではありません", text);
        return result;
      }
      negative = true;
    }
    strip(u"+");
    if (!strip(u"¥") && !strip(u"\\")) strip(u"JPY");
  }
  if (s.endsWith(QStringLiteral("円"))) s.chop(1);
  if (s.endsWith(QLatin1Char('-')) && !negative) {
    negative = true;
    s.chop(1);
  }
  const qsizetype point = s.indexOf(QLatin1Char('.'));
  if (point >= 0) {
    const QStringView fraction = QStringView(s).mid(point + 1);
    for (const QChar c : fraction) {
      if (c != QLatin1Char('0')) {
        result.reason = Reason("'%s' は円未満のある金額です", text);
        return result;
      }
    }
    s.truncate(point);
  }
  std::int64_t value = 0;
  int digits = 0;
  QChar previous;
  for (const QChar c : s) {
    if (c == QLatin1Char(',')) {
      if (!previous.isDigit()) {
        result.reason = Reason("'%s' は金額ではありません", text);
        return result;
      }
    } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
      value = value * 10 + (c.unicode() - '0');
      ++digits;
      if (value > 2147483647) {
        result.reason = Reason("'%s' は大きすぎる金額です（32 ビットの範囲を超えます）", text);
        return result;
      }
    } else {
      result.reason = Reason("'%s' は金額ではありません", text);
      return result;
    }
    previous = c;
  }
  if (digits == 0 || previous == QLatin1Char(',')) {
    result.reason = Reason("'%s' は金額ではありません", text);
    return result;
  }
  result.value = static_cast<std::int32_t>(negative ? -value : value);
  return result;
}

std::string MessageText(const QString& text) {
  return ToCp932(text).value_or(std::string("?"));
}

QString ComparisonKey(QStringView text) {
  QString key = text.toString().normalized(QString::NormalizationForm_KC).toCaseFolded();
  key.removeIf([](QChar c) { return c.isSpace(); });
  return key;
}

}  // namespace engine::import
