"""Documents as the boards publish them under courtlyx/v1/<court>/, for the desk's tests and
its pictures; every one is checked against docs/score-feed.schema.json before use."""
import json


def score(names, sets, points, server=1, current=None, fmt="SET3-S:6/TB7", phase="running",
          elapsed="42:17", seconds=2537, tie_break=False, winner=0, change=1):
    count = int(fmt[3])
    rows = []
    for i in range(count):
        if i < len(sets):
            a, b = sets[i]
            rows.append({"games": [a, b], "texts": [str(a), str(b)],
                         "leader": 0 if a == b else (1 if a > b else 2)})
        else:
            rows.append({"games": [None, None], "texts": ["", ""], "leader": 0})
    return {"version": 1, "change": change, "format": fmt, "setCount": count, "phase": phase,
            "elapsed": {"text": elapsed, "seconds": seconds},
            "currentSet": current if current is not None else max(1, len(sets)),
            "tieBreak": tie_break, "server": server,
            "sides": [{"name": names[0], "points": points[0]}, {"name": names[1], "points": points[1]}],
            "sets": rows, "winner": winner}


def online(court, up=True):
    return {"version": 1, "court": court, "online": up}


RECORD_COLUMNS = ["pbp_id", "date", "tny_name", "tour", "draw", "server1", "server2", "winner",
                  "pbp", "score", "adf_flag", "wh_minutes"]


def result(court, match_id, names, sets, score_text, winner, start, end, seconds, pbp, tournament):
    hours, rest = divmod(seconds, 3600)
    text = f"{hours}:{rest // 60:02}:{rest % 60:02}" if hours else f"{rest // 60}:{rest % 60:02}"
    record = {"pbp_id": match_id, "date": "09 Dec 26", "tny_name": tournament, "tour": "",
              "draw": "", "server1": names[0], "server2": names[1], "winner": str(winner),
              "pbp": pbp, "score": score_text, "adf_flag": "0", "wh_minutes": str(seconds // 60)}
    return {"version": 1, "court": court, "id": match_id, "names": list(names),
            "format": "SET3-S:6/TB7", "sets": list(sets), "score": score_text, "start": start,
            "end": end, "elapsed": {"text": text, "seconds": seconds}, "winner": winner,
            "winnerName": names[winner - 1], "pbp": pbp, "record": record}


def dumps(document):
    return json.dumps(document, ensure_ascii=False, separators=(",", ":"))
