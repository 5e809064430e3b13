"""Turns the samples bench/run.sh gathered into its table of medians, ratios and goals (Markdown).

    table.py SAMPLES MACHINE LOAD_BEFORE LOAD_AFTER SECONDS ROUNDS FINDER_QUERY QUERY...
"""
import datetime
import statistics
import sys
from collections import defaultdict

samples_file, machine, load_before, load_after, seconds, rounds, finder_query = sys.argv[1:8]
queries = sys.argv[8:]

samples = defaultdict(list)
for line in open(samples_file):
    figure, side, value = line.split()
    samples[figure, side].append(float(value))


def med(figure, side):
    values = samples.get((figure, side))
    return statistics.median(values) if values else None


def ms(value):
    if value is None:
        return "–"
    return f"{value / 1000:.2f} s" if value >= 1000 else f"{value:.1f} ms" if value < 100 else f"{value:.0f} ms"


# figure, work, ours, compared with, largest ratio, longest time of ours in ms (or None)
comparisons = [
    ("list100k", "list and sort a 100,000-entry folder with sizes and dates", "`listDirectory`",
     "`ls -l -v`", 0.5, None),
    ("list1m", "list and sort a 1,000,000-entry folder", "`listDirectory`", "`ls -l -v`", 0.5, 3000),
    ("window_sorted", "open a 100,000-entry folder in the window: whole list sorted", "`FileListView`",
     "`ls -l -v`", 0.6, None),
    ("walk", "walk a 20,000-entry tree", "`enumerateRecursively`", "`find DIR -mindepth 1`", 1.0, None),
    ("finder", f"open the finder on a 20,000-entry tree and rank `{finder_query}`", "`FuzzyFinderModel`",
     f"`fdfind -HI . DIR \\| fzf --filter {finder_query}`", 1.0, None),
]
comparisons += [(f"rank20k-{q}", f"rank 20,000 paths for `{q}`", "`FuzzyRanking::rank`", "`fzf --filter`", 0.5, None)
                for q in queries]
comparisons += [(f"rank1m-{q}", f"rank 1,000,000 paths for `{q}`", "`FuzzyRanking::rank`", "`fzf --filter`", 0.1, 30)
                for q in queries]
comparisons += [
    ("size", "size of a 100,000-file tree", "`directorySize`", "`du -sb`", 0.8, None),
    ("copy1g", "copy a 1 GB file", "`copy`", "`cp -a`", 0.9, None),
    ("copy10k", "copy 10,000 small files", "`copy`", "`cp -a`", 0.9, None),
]

missed = 0
lines = ["| work | ours | compared with | ours | theirs | ratio | goal | met |",
         "|---|---|---|---:|---:|---:|---|---|"]
for figure, work, ours_name, theirs_name, most_ratio, most_ms in comparisons:
    ours, theirs = med(figure, "ours"), med(figure, "theirs")
    if ours is None or theirs is None:
        lines.append(f"| {work} | {ours_name} | {theirs_name} | {ms(ours)} | {ms(theirs)} | – | – | not measured |")
        missed += 1
        continue
    ratio = ours / theirs
    goal = f"≤ {most_ratio}" + (f" and ≤ {ms(most_ms)}" if most_ms else "")
    met = ratio <= most_ratio and (most_ms is None or ours <= most_ms)
    missed += not met
    lines.append(f"| {work} | {ours_name} | {theirs_name} | {ms(ours)} | {ms(theirs)} | {ratio:.{2 if ratio >= 0.1 else 3}f} | {goal} | "
                 f"{'yes' if met else '**no**'} |")

absolute = [
    ("window_first", "ours", "open a 100,000-entry folder in the window: first screenful painted", 150, "ms"),
    ("startup_offscreen", "value", "start to first painted window, both panes listed (offscreen)", None, "ms"),
    ("startup_xvfb", "value", "start to first painted window, both panes listed (Xvfb)", None, "ms"),
    ("rss_two_100k", "value", "resident memory, both panes on a 100,000-entry folder", None, "MB"),
    ("rss_one_1m", "value", "resident memory, one pane on the 1,000,000-entry folder", None, "MB"),
]
lines += ["", "| measured alone | ours | goal | met |", "|---|---:|---|---|"]
for figure, side, work, most, unit in absolute:
    value = med(figure, side)
    shown = "–" if value is None else (ms(value) if unit == "ms" else f"{value:.0f} MB")
    if most is None:
        lines.append(f"| {work} | {shown} | – | – |")
        continue
    met = value is not None and value < most
    missed += not met
    lines.append(f"| {work} | {shown} | < {ms(most)} | {'yes' if met else '**no**'} |")

now = datetime.datetime.now().astimezone().strftime("%Y-%m-%d %H:%M %Z")
print(f"# Benchmark results\n\n{now}, `make bench` ({int(seconds) // 60} min {int(seconds) % 60} s, "
      f"{rounds} rounds)  \nMachine: {machine}  \nLoad before: `{load_before.strip()}`  \n"
      f"Load after: `{load_after.strip()}`\n")
print("\n".join(lines))
print(f"""
Medians over all rounds; each round runs ours, then theirs, so load from other programs falls on
both alike. Ratio = ours ÷ theirs: below 1, ours is faster. The standard tools are timed as whole
processes. Of ours, listing, walking and ranking are timed inside the process (the work itself);
the finder from the model's creation to its ranking after the walk; the window from asking for the
folder; folder size and copies as whole processes. The finder keeps the best 100 results,
`fzf --filter` prints every match. {missed} goal(s) missed.""")
