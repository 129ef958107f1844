#!/usr/bin/env python3
"""Writes the transactions of a generated book as a ledger(1) journal and gives the book an
aggregation settings file, so both programs total the same transactions:
    ledger_journal.py BOOK_FOLDER OUT.ledger"""
import sys

folder, out_path = sys.argv[1], sys.argv[2]
subjects = []
with open(f"{folder}/journal.csv", encoding="cp932") as journal, \
        open(out_path, "w", encoding="utf-8") as out:
    for line in journal:
        date, amount, debit, summary, credit, _ = line.rstrip("\r\n").split(",")
        year, month, day = date.split("/")
        out.write(f"20{year}/{month}/{day} {summary}\n    {debit}  {amount}\n"
                  f"    {credit}  -{amount}\n\n")
        for subject in (debit, credit):
            if subject not in subjects:
                subjects.append(subject)

# The subjects in pairs under headings, as a user's table of costs would group them (a
# heading over every subject would total more than 32 bits hold at this size).
entries = []
for i in range(0, len(subjects), 2):
    entries.append(f"科目{i // 2 + 1},1,1,0")
    entries += [f"･･･{s},1,1,0" for s in subjects[i:i + 2]]
settings = "[table]\r\n" + "".join(f"{i}={e}\r\n" for i, e in enumerate(entries))
with open(f"{folder}/集計設定.txt", "w", encoding="cp932", newline="") as out:
    out.write(settings)
