#!/usr/bin/env python3
"""Weighs the features of the names the Built-in Reader is offered for an event's title.

Reads the lines of `FinderBench --title-options` (tuning texts only: one line per event found,
with the names offered for it, their features and whether each is a right title) and fits the
weights of src/finder/TitleOptions.cpp as a ranking: the chance of a name is the softmax of its
weighted features among the event's names, and the weights make the right names likely. The fit
starts from, and is held near, the rules of thumb below (the scores the reader gave its names
before), so a feature moves only as far as the texts ask.

Each batch of texts (numbered as written together, see bench/data/finder/README.md) is judged by
weights fitted on the other batches only: the figure printed for it is what the weights do on
texts they were not chosen on. The weights printed last are fitted on all batches, in the units of
TitleOptions.cpp.

Run: build/FinderBench --title-options | bench/title-weights.py
"""

import json
import math
import re
import sys
from pathlib import Path

BATCHES = [(1, 98), (99, 122), (123, 146), (147, 170), (171, 194), (195, 218), (219, 242),
           (243, 266), (267, 290), (291, 314), (315, 338), (339, 362), (363, 386), (387, 426),
           (427, 462), (463, 498), (499, 534), (535, 558),
           (559, 582), (583, 594), (595, 630), (631, 666), (667, 702),
           (703, 738), (739, 774), (775, 810), (811, 846), (847, 882),
           (883, 918), (919, 954)]
# Counts brought to about the range of the other features, which are 0 or 1.
SCALE = {"position": 8, "distance": 8}
# The rules of thumb: headings first, the higher the better, a label such as "Subject:" above all,
# a generic heading ("Booking confirmation") last; a row's own line in a list; a route on a
# ticket; the event named in the sentence of its day; the words before the day or the place's
# name when nothing else names it; an organisation's name weighs against it. Features added since
# start at 0.
RULES_OF_THUMB = {
    "ownLine": 10, "heading": 10, "listRow": 20, "position": -2, "labelled": 50, "generic": -30,
    "capitals": 6, "capitalised": 4, "eventNoun": 8, "arrow": 8, "shortName": 4,
    "skippedGeneric": -6, "dated": -6, "aboveEvents": 3, "occasion": 12, "route": 30, "leg": 50,
    "sentence": 9, "sameLine": 6, "trip": 7.5, "clause": 7.4, "venue": 7.3, "organisation": -8}
PRIOR = 0.25  # the start, as a share of the rules of thumb (a softmax wants small sums)
PULL = 0.03   # how strongly they hold the weights
EPOCHS = 300
RATE = 0.5


def read_weights():
    source = (Path(__file__).resolve().parent.parent / "src/finder/TitleOptions.cpp").read_text()
    start = source.index("kWeights = {")
    body = source[start:source.index("};", start)]
    return {name: float(value) for value, name in re.findall(r"(-?[\d.]+),\s*//\s*(\w+)", body)}


class Events:
    def __init__(self, lines, names):
        self.names = names
        self.events = [json.loads(line) for line in lines if line.startswith("{")]

    def vector(self, option):
        return [option["features"].get(n, 0.0) / SCALE.get(n, 1) for n in self.names]

    def batch(self, event):
        return next(k for k, (lo, hi) in enumerate(BATCHES) if lo <= event["number"] <= hi)

    def right(self, event, weights):
        if "fixed" in event:
            return event["fixed"]
        best, best_weight = None, 0.0
        for option in event["options"]:
            weight = sum(w * x for w, x in zip(weights, self.vector(option)))
            if best is None or weight > best_weight:
                best, best_weight = option, weight
        return best["right"] if best else event["fallback"]

    def score(self, events, weights):
        return sum(self.right(e, weights) for e in events)


def fit(data, events, prior):
    # Only events with both right and wrong names say anything about the weights.
    rows = []
    for e in events:
        if "fixed" not in e and any(o["right"] for o in e["options"]) and \
                not all(o["right"] for o in e["options"]):
            rows.append(([data.vector(o) for o in e["options"]], [o["right"] for o in e["options"]]))
    weights = list(prior)
    for _ in range(EPOCHS):
        gradient = [PULL * (w - p) for w, p in zip(weights, prior)]
        for vectors, right in rows:
            sums = [sum(w * x for w, x in zip(weights, v)) for v in vectors]
            top = max(sums)
            chances = [math.exp(s - top) for s in sums]
            total = sum(chances)
            total_right = sum(c for c, ok in zip(chances, right) if ok)
            for v, c, ok in zip(vectors, chances, right):
                share = c / total - (c / total_right if ok else 0.0)
                for k, x in enumerate(v):
                    gradient[k] += share * x / len(rows)
        weights = [w - RATE * g for w, g in zip(weights, gradient)]
    return weights


def main():
    written = read_weights()
    names = list(written)
    data = Events(sys.stdin, names)
    current = [written[n] * SCALE.get(n, 1) for n in names]
    prior = [PRIOR * RULES_OF_THUMB.get(n, 0) * SCALE.get(n, 1) for n in names]
    total_current = total_fitted = 0
    for k, (lo, hi) in enumerate(BATCHES):
        inside = [e for e in data.events if data.batch(e) == k]
        if not inside:
            continue
        weights = fit(data, [e for e in data.events if data.batch(e) != k], prior)
        now, fitted = data.score(inside, current), data.score(inside, weights)
        total_current += now
        total_fitted += fitted
        print(f"texts {lo:3}-{hi:3}: {len(inside):3} events, right with the written weights "
              f"{now:3}, with weights fitted without them {fitted:3}")
    print(f"all: {len(data.events)} events, written weights {total_current}, "
          f"each batch fitted without it {total_fitted}")
    weights = fit(data, data.events, prior)
    print(f"fitted on all batches: {data.score(data.events, weights)} right")
    for name, w in zip(names, weights):
        print(f"    {w / PRIOR / SCALE.get(name, 1):.2f}, // {name}")


if __name__ == "__main__":
    main()
