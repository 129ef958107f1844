#!/usr/bin/env python3
"""Writes the sample book 家計簿2025: a year of a household's journal lines with their ledgers.

    python3 tools/make_sample_book.py [PARENT_FOLDER]

The book lands in PARENT_FOLDER/家計簿2025 (default: the repository's sample/ folder). The
index file holds absolute paths, so it is written for the folder the book lands in; run the
script again wherever the book is copied. Everything is CP932 with CR LF, as the program
keeps its books. The same lines come out on every run.
"""
import datetime
import os
import random
import sys

BOOK = "家計簿2025"
YEAR = 2025

# Subject and its counterpart (the usual other side of its lines), in ledger-window order.
SUBJECTS = [
    ("現金", ""),
    ("普通預金", ""),
    ("定期預金", "普通預金"),
    ("クレジットカード", "普通預金"),
    ("元入金", "普通預金"),
    ("給与", "普通預金"),
    ("賞与", "普通預金"),
    ("受取利息", "普通預金"),
    ("食費", "現金"),
    ("外食費", "現金"),
    ("日用品", "現金"),
    ("住居費", "普通預金"),
    ("水道光熱費", "普通預金"),
    ("通信費", "クレジットカード"),
    ("交通費", "現金"),
    ("医療費", "現金"),
    ("教養娯楽費", "クレジットカード"),
    ("衣服費", "クレジットカード"),
    ("保険料", "普通預金"),
]


def journal_lines():
    """(date, amount, debit, summary, credit) for the year, in date order."""
    rnd = random.Random(YEAR)
    lines = []

    def add(month, day, amount, debit, summary, credit):
        lines.append((datetime.date(YEAR, month, day), int(amount), debit, summary, credit))

    add(1, 1, 1200000, "普通預金", "前年より繰越", "元入金")
    add(1, 1, 30000, "現金", "前年より繰越", "元入金")
    card = {m: 0 for m in range(1, 13)}

    def charge(month, day, amount, debit, summary):
        add(month, day, amount, debit, summary, "クレジットカード")
        card[month] += int(amount)

    for m in range(1, 13):
        add(m, 25, 285000, "普通預金", "給料", "給与")
        add(m, 27, 82000, "住居費", "家賃", "普通預金")
        winter = m in (1, 2, 3, 12)
        summer = m in (7, 8, 9)
        electricity = rnd.randint(9000, 13000) if winter else rnd.randint(7500, 11000) if summer else rnd.randint(5000, 7000)
        add(m, 14, electricity, "水道光熱費", "電気代", "普通預金")
        add(m, 16, rnd.randint(5500, 8000) if winter else rnd.randint(2800, 4200), "水道光熱費", "ガス代", "普通預金")
        if m % 2 == 0:
            add(m, 20, rnd.randint(5200, 6400), "水道光熱費", "水道代", "普通預金")
        charge(m, 3, 4840, "通信費", "携帯電話料金")
        charge(m, 5, 5170, "通信費", "インターネット料金")
        if m > 1:
            add(m, 10, card[m - 1], "クレジットカード", "カード引き落とし", "普通預金")
        add(m, 26, 30000, "定期預金", "積立", "普通預金")
        add(m, 27, 8500, "保険料", "生命保険料", "普通預金")
        add(m, 1, 40000, "現金", "ATM引き出し", "普通預金")
        add(m, 15, 20000, "現金", "ATM引き出し", "普通預金")
        days = [d for d in range(1, 29)]
        for day in sorted(rnd.sample(days, 8)):
            add(m, day, rnd.randrange(1800, 6500, 10), "食費", rnd.choice(["スーパー", "スーパー", "八百屋", "パン屋"]), "現金")
        for day in sorted(rnd.sample(days, 3)):
            add(m, day, rnd.randrange(900, 4800, 10), "外食費", rnd.choice(["昼食", "外食", "喫茶店"]), "現金")
        for day in sorted(rnd.sample(days, 2)):
            add(m, day, rnd.randrange(600, 3500, 10), "日用品", rnd.choice(["ドラッグストア", "ホームセンター"]), "現金")
        for day in sorted(rnd.sample(days, 3)):
            add(m, day, rnd.randrange(200, 1500, 10), "交通費", rnd.choice(["電車", "バス", "ICカードチャージ"]), "現金")
        for day in sorted(rnd.sample(days, 2)):
            charge(m, day, rnd.randrange(1200, 6000, 10), "教養娯楽費", rnd.choice(["書籍", "映画", "音楽配信"]))
        if m % 3 == 0:
            charge(m, rnd.randint(1, 28), rnd.randrange(3000, 15000, 100), "衣服費", "衣料品")
        if m in (2, 5, 9, 11):
            add(m, rnd.randint(1, 28), rnd.randrange(1500, 4500, 10), "医療費", rnd.choice(["内科", "歯科", "薬局"]), "現金")
    add(6, 30, 420000, "普通預金", "夏の賞与", "賞与")
    add(12, 10, 460000, "普通預金", "冬の賞与", "賞与")
    add(2, 20, 37, "普通預金", "利息", "受取利息")
    add(8, 20, 41, "普通預金", "利息", "受取利息")
    lines.sort(key=lambda line: line[0])  # stable: same-day lines keep their order
    return lines


MARK = "･･･"  # one nesting level in an aggregation entry's name


def aggregation_settings():
    """A ready "table" and "compare" set-up: income and spending by heading, and the food
    costs of each quarter side by side."""
    income = ["給与", "賞与", "受取利息"]
    living = ["食費", "外食費", "日用品", "衣服費", "教養娯楽費", "交通費", "医療費"]
    fixed = ["住居費", "水道光熱費", "通信費", "保険料"]
    # Income is credited, so its flags swap it into the debit column beside the costs.
    table = ["収入,1,1,1"] + [f"{MARK}{n},1,1,1" for n in income]
    table += ["支出,1,1,0", f"{MARK}固定費,1,1,0"] + [f"{MARK * 2}{n},1,1,0" for n in fixed]
    table += [f"{MARK}生活費,1,1,0"] + [f"{MARK * 2}{n},1,1,0" for n in living]
    yy = YEAR % 100
    quarters = [(1, 3), (4, 6), (7, 9), (10, 12)]
    compare = [f"食費と外食費,{yy:02}/01,{yy:02}/12,1,0,0"]
    for name in ("食費", "外食費"):
        compare += [f"{MARK}{name},{yy:02}/{a:02},{yy:02}/{b:02},1,0,0" for a, b in quarters]
    lines = ["[table]"] + [f"{i}={v}" for i, v in enumerate(table)]
    return lines + ["[compare]"] + [f"{i}={v}" for i, v in enumerate(compare)]


def write(path, lines):
    with open(path, "wb") as f:
        for line in lines:
            f.write(line.encode("cp932") + b"\r\n")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parent = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "sample")
    folder = os.path.join(os.path.abspath(parent), BOOK)
    os.makedirs(folder, exist_ok=True)
    path = lambda name: os.path.join(folder, name + ".txt")

    lines = journal_lines()
    date = lambda d: d.strftime("%y/%m/%d")
    journal = [f"{date(d)}\t{a}\t{dr}\t{s}\t{cr}\t{a}" for d, a, dr, s, cr in lines]
    ledgers = {name: [] for name, _ in SUBJECTS}
    balances = {name: 0 for name, _ in SUBJECTS}
    for d, a, dr, s, cr in lines:
        balances[dr] += a
        ledgers[dr].append(f"{date(d)}\t{cr}\t{s}\t{a}\t\t{balances[dr]}")
        balances[cr] -= a
        ledgers[cr].append(f"{date(d)}\t{dr}\t{s}\t\t{a}\t{balances[cr]}")

    write(path("仕訳帳"), journal)
    for name, _ in SUBJECTS:
        write(path(name), ledgers[name])
    write(path("勘定科目"), [f"{n}\t{c}" if c else n for n, c in sorted(SUBJECTS)])
    write(path("摘要"), sorted({s for _, _, _, s, _ in lines}))
    # No aggregation settings yet: the aggregation commands ask where to keep them.
    write(path("集計設定"), aggregation_settings())
    index = [path("勘定科目"), path("摘要"), path("集計設定"), path("仕訳帳")]
    index += [path(n) for n, _ in SUBJECTS]
    write(path(BOOK), index)
    print(f"{path(BOOK)}: {len(journal)} journal lines, {len(SUBJECTS)} subjects")


if __name__ == "__main__":
    main()
