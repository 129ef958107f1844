#include "engine/base/cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <stdexcept>

namespace engine {

namespace {
// Qt maps "Shift_JIS" to ICU's converter for the Windows code page 932 table.
constexpr const char* kCodec = "Shift_JIS";
}  // namespace

QString FromCp932(std::string_view bytes) {
  QStringDecoder decoder(kCodec, QStringConverter::Flag::Stateless);
  return decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::optional<std::string> ToCp932(QStringView text) {
  QStringEncoder encoder(kCodec, QStringConverter::Flag::Stateless);
  QByteArray encoded = encoder.encode(text);
  if (encoder.hasError()) return std::nullopt;
  return encoded.toStdString();
}

namespace {
// Calls `visit` with each character of `text`, a surrogate pair being one, and whether CP932
// holds it, until `visit` returns false.
template <typename Visit>
void VisitCharacters(QStringView text, Visit visit) {
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype len =
        (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
    const QStringView ch = text.mid(i, len);
    if (!visit(ch, ToCp932(ch).has_value())) return;
    i += len;
  }
}
}  // namespace

QString FirstNonCp932Character(QStringView text) {
  QString first;
  VisitCharacters(text, [&](QStringView ch, bool held) {
    if (!held) first = ch.toString();
    return held;
  });
  return first;
}

Cp932Split SplitCp932(QStringView text) {
  Cp932Split split;
  if (ToCp932(text)) {
    split.held = text.toString();
    return split;
  }
  VisitCharacters(text, [&](QStringView ch, bool held) {
    if (held) {
      split.held += ch;
    } else if (!split.refused.contains(ch)) {
      split.refused.append(ch.toString());
    }
    return true;
  });
  return split;
}

std::string Sjis(std::string_view utf8) {
  auto encoded = ToCp932(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
  if (!encoded) throw std::logic_error("program text outside code page 932");
  return *encoded;
}

std::string ShortenedText(std::string_view cp932, std::size_t maxBytes) {
  if (cp932.size() <= maxBytes) return std::string(cp932);
  std::size_t end = 0;
  while (end < maxBytes) {
    const auto byte = static_cast<unsigned char>(cp932[end]);
    const bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    const std::size_t width = lead ? 2 : 1;
    if (end + width > maxBytes) break;
    end += width;
  }
  return std::string(cp932.substr(0, end)) + "\x81\x63";  // "…"
}

std::string FormatMessage(std::string_view cp932Template, std::string_view arg) {
  std::string out(cp932Template);
  const auto at = out.find("%s");
  if (at != std::string::npos) out.replace(at, 2, arg);
  return out;
}

QString PathFromCp932(std::string_view cp932Path) {
  return FromCp932(cp932Path);
}

std::optional<std::string> PathToCp932(const QString& path) {
  return ToCp932(path);
}

namespace {

bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
bool IsTrailByte(unsigned char b) {
  return b >= 0x40 && b <= 0xFC && b != 0x7F;
}
// Bytes that stand alone in CP932: ASCII and the halfwidth katakana A1-DF.
bool IsSingleByte(unsigned char b) {
  return b < 0x80 || (b >= 0xA1 && b <= 0xDF);
}

int LineAt(std::string_view bytes, std::size_t offset) {
  int line = 1;
  for (std::size_t i = 0; i < offset; ++i) {
    if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n')))
      ++line;
  }
  return line;
}

// The offset of the first multi-byte character when the bytes are valid UTF-8 holding one.
std::optional<std::size_t> FirstUtf8Character(std::string_view bytes, std::size_t from) {
  std::optional<std::size_t> first;
  for (std::size_t i = from; i < bytes.size();) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    std::size_t length = 0;
    if (b >= 0xC2 && b <= 0xDF) {
      length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
      length = 3;
    } else if (b >= 0xF0 && b <= 0xF4) {
      length = 4;
    } else {
      return std::nullopt;
    }
    if (i + length > bytes.size()) return std::nullopt;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return std::nullopt;
    }
    if (!first) first = i;
    i += length;
  }
  return first;
}

}  // namespace

std::optional<EncodingProblem> FindEncodingProblem(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return EncodingProblem{1, true};
  std::size_t i = 0;
  // ASCII is the same in both; the first byte above it decides where to look further.
  while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80 && bytes[i] != '\0') ++i;
  if (i == bytes.size()) return std::nullopt;
  if (const auto utf8 = FirstUtf8Character(bytes, i)) {
    return EncodingProblem{LineAt(bytes, *utf8), true};
  }
  for (; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b == 0) return EncodingProblem{LineAt(bytes, i), false};
    if (IsSingleByte(b)) continue;
    if (IsLeadByte(b) && i + 1 < bytes.size() &&
        IsTrailByte(static_cast<unsigned char>(bytes[i + 1]))) {
      ++i;
      continue;
    }
    return EncodingProblem{LineAt(bytes, i), false};
  }
  return std::nullopt;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a == b || FromCp932(a).compare(FromCp932(b), Qt::CaseInsensitive) == 0;
}

}  // namespace engine
