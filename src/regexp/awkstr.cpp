#include "regexp/awkstr.h"

#include <algorithm>
#include <cstring>

namespace regexp {

namespace {

using Byte = unsigned char;
constexpr uint32_t kNoState = TRE_DFA::kNoState;

// Reads one character code at `p` and moves past it. At the end the code is 0 and `p`
// stays; a lead byte with nothing after it reads as a single-byte character.
inline uint16_t ReadCode(const Byte*& p, const Byte* end) {
  if (p >= end) return 0;
  const Byte b = *p;
  if (IsDBCSLeadByte(b) && p + 1 < end) {
    const auto code = static_cast<uint16_t>(b << 8 | p[1]);
    p += 2;
    return code;
  }
  ++p;
  return b;
}

inline const Byte* NextChar(const Byte* p, const Byte* end) {
  return IsDBCSLeadByte(*p) && p + 1 < end ? p + 2 : p + 1;
}

// Passes over the characters on which the initial state has no step: most of a long subject.
// The steps are branches, not sums of the looked-up widths, so that the next position never
// waits for a look-up.
const Byte* SkipDead(const TRE_DFA& dfa, const Byte* p, const Byte* end) {
  while (p < end) {
    const unsigned skip = dfa.InitialSkip(*p);
    if (skip == 1) {
      ++p;
    } else if (skip == 2 && p + 1 < end) {
      p += 2;
    } else {
      break;
    }
  }
  return p;
}

// Runs one compiled pattern over one subject.
class Runner {
 public:
  // With `store`, runs after the first failed one remember where they went, one record per
  // subject position and the end, under stamps counted by `stamp`.
  Runner(TRE_DFA& dfa, const Byte* begin, const Byte* end, uint16_t separator,
         std::vector<TAWKStr::Visit>* store, uint32_t& stamp)
      : dfa_(dfa),
        begin_(begin),
        end_(end),
        separator_(separator),
        store_(store),
        stamp_(stamp),
        flushes_(dfa.FlushCount()) {}

  // The end of the longest match that starts at `p` in `state`, or nullptr. A run that
  // fails is recorded, and a later run of the same search that meets it (same state at the
  // same position) would go on exactly as it did, to no further match, so it stops there;
  // a long subject then costs no run to its end from every start. Every run of a search
  // either fails or ends the search, so the records never stand for a run that matched.
  const Byte* Longest(const Byte* p, uint32_t state) {
    if (state == kNoState) return nullptr;
    if (visits_ != nullptr) return Run<true>(p, state);
    const Byte* found = Run<false>(p, state);
    // Most searches end with their first run; records pay only once one has failed.
    if (found == nullptr && store_ != nullptr) StartRecords();
    return found;
  }

  const Byte* AtLineHead(const Byte* p, uint32_t state) {
    if (!dfa_.LineHeadUsed()) return Longest(p, state);
    const Byte* anchored = Longest(p, dfa_.LineHeadStep(state));
    if (anchored == nullptr) return nullptr;
    // Where the first character leads nowhere from the initial state, a run from there can
    // end no later than `p`, which is never beyond the anchored match: skip it.
    if (state == dfa_.InitialState() && p < end_ && dfa_.InitialStepsNowhere(p, end_))
      return anchored;
    const Byte* unanchored = Longest(p, state);
    return unanchored != nullptr && unanchored >= anchored ? unanchored : anchored;
  }

 private:
  void StartRecords() {
    const auto size = static_cast<std::size_t>(end_ - begin_) + 1;
    if (store_->size() < size) store_->resize(size);
    visits_ = store_->data();
    flushes_ = dfa_.FlushCount();
    NewStamp();
  }

  // Short subjects, the common case, are run without records and without their test.
  template <bool kRemember>
  const Byte* Run(const Byte* p, uint32_t start) {
    // Copies in locals stay in registers; the members would be read again on every step.
    TRE_DFA& dfa = dfa_;
    const Byte* const end = end_;
    const uint32_t accept = dfa.AcceptColumn();
    const uint32_t* rows = dfa.Rows();
    // A full-width index saves widening the state on every step, the loop's critical path.
    std::size_t state = start;
    const Byte* result = nullptr;
    const Byte* cur = p;
    uint16_t code = 0;
    for (;;) {
      if (rows[state + accept] != 0) result = cur;
      if constexpr (kRemember) {
        // A dropped state cache renumbers the states, which voids every record.
        if (dfa.FlushCount() != flushes_) {
          flushes_ = dfa.FlushCount();
          NewStamp();
        }
        TAWKStr::Visit& visit = visits_[cur - begin_];
        if (visit.stamp == stamp_ && visit.state == state) return result;
        visit = {static_cast<uint32_t>(state), stamp_};
      }
      // The end of the subject (code 0) leads nowhere; no step is looked up for it.
      if (cur >= end) {
        code = 0;
        break;
      }
      code = ReadCode(cur, end);
      uint32_t next = rows[state + dfa.ClassOf(code)];
      if (next >= TRE_DFA::kUnknown) {
        if (next == kNoState) break;
        // A state not made yet: making it may move the rows, or drop them all.
        next = dfa.Step(static_cast<uint32_t>(state), code);
        rows = dfa.Rows();
        if (next == kNoState) break;
      }
      state = next;
    }
    // A "$" at the end of the pattern may finish at a line separator or the subject's end.
    if ((code == separator_ || code == 0) &&
        dfa.LineTailStep(static_cast<uint32_t>(state)) != kNoState)
      return code != 0 ? cur - 1 : cur;
    return result;
  }

  void NewStamp() {
    if (visits_ == nullptr || ++stamp_ != 0) return;
    std::fill(visits_, visits_ + (end_ - begin_) + 1, TAWKStr::Visit{});
    stamp_ = 1;
  }

  TRE_DFA& dfa_;
  const Byte* begin_;
  const Byte* end_;
  uint16_t separator_;
  std::vector<TAWKStr::Visit>* store_;
  TAWKStr::Visit* visits_ = nullptr;
  uint32_t& stamp_;
  std::size_t flushes_;
};

}  // namespace

struct TAWKStr::Span {
  const Byte* start = nullptr;
  const Byte* end = nullptr;
};

TAWKStr::TAWKStr() {
  PreProcessor().FuzzyCharDicList().push_back(&BuiltinFuzzyCharDictionary());
}

void TAWKStr::SetRegExp(const std::string& pattern) {
  TMatchCORE::SetRegExp(pattern);
  anchored_ = CurrentDFA().LineHeadUsed() || CurrentDFA().LineTailUsed();
}

void TAWKStr::SetUseFuzzyCharDic(bool use) {
  PreProcessor().SetUseFuzzyCharDic(use);
  const std::string pattern = RegExp();
  SetRegExp(pattern);
}

void TAWKStr::SetUseSynonymDic(bool use) {
  PreProcessor().SetUseSynonymDic(use);
  const std::string pattern = RegExp();
  SetRegExp(pattern);
}

std::vector<TAWKStr::Visit>* TAWKStr::VisitStore(const Byte* begin, const Byte* end) const {
  // Short subjects, such as cells, are run from every start at little cost.
  constexpr std::ptrdiff_t kRememberFrom = 64;
  return end - begin < kRememberFrom ? nullptr : &visits_;
}

bool TAWKStr::MatchPlain(const Byte* begin, const Byte* end, Span& span) const {
  TRE_DFA& dfa = CurrentDFA();
  if (begin == end) {
    if (!dfa.Accepting(dfa.InitialState())) return false;
    span = {begin, begin};
    return true;
  }
  Runner runner(dfa, begin, end, LineSeparatorCode(), VisitStore(begin, end), visit_stamp_);
  // Where the first character leads nowhere, no run is needed: most of a long subject.
  const bool initial_accepts = dfa.Accepting(dfa.InitialState());
  for (const Byte* p = begin;;) {
    if (!initial_accepts) p = SkipDead(dfa, p, end);
    if (p >= end) return false;
    if (const Byte* found = runner.Longest(p, dfa.InitialState())) {
      span = {p, found};
      return true;
    }
    p = NextChar(p, end);
  }
}

bool TAWKStr::MatchAnchored(const Byte* begin, const Byte* end, Span& span) const {
  TRE_DFA& dfa = CurrentDFA();
  // The initial state keeps its number when the state cache is dropped.
  const uint32_t initial = dfa.InitialState();
  Runner runner(dfa, begin, end, LineSeparatorCode(), VisitStore(begin, end), visit_stamp_);
  if (const Byte* found = runner.AtLineHead(begin, initial)) {
    span = {begin, found};
    return true;
  }
  for (const Byte* p = begin; p < end; p = NextChar(p, end)) {
    if (const Byte* found = runner.Longest(p, initial)) {
      span = {p, found};
      return true;
    }
    if (*p == '\n' && dfa.LineHeadUsed()) {
      if (const Byte* found = runner.AtLineHead(p + 1, initial)) {
        span = {p + 1, found};
        return true;
      }
    }
  }
  if (dfa.LineTailUsed() && dfa.LineTailStep(initial) != kNoState) {
    span = {end, end};
    return true;
  }
  return false;
}

int TAWKStr::Match(std::string_view subject) const {
  int position = 0;
  int length = 0;
  return Match(subject, position, length);
}

int TAWKStr::Match(std::string_view subject, int& position, int& length) const {
  // Match ends are pointers, and a null one means "no match", so never start from null.
  const auto* begin =
      reinterpret_cast<const Byte*>(subject.data() != nullptr ? subject.data() : "");
  const void* nul = subject.empty() ? nullptr : std::memchr(begin, 0, subject.size());
  const Byte* end = nul != nullptr ? static_cast<const Byte*>(nul) : begin + subject.size();
  Span span;
  const bool found = anchored_ ? MatchAnchored(begin, end, span) : MatchPlain(begin, end, span);
  position = found ? static_cast<int>(span.start - begin) + 1 : 0;
  length = found ? static_cast<int>(span.end - span.start) : 0;
  return position;
}

}  // namespace regexp
