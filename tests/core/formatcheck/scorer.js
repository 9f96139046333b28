// An independent scorer from the ITF Rules of Tennis (Rules 5-7, Appendix V): reads
// {"matches": [{"format": <matchUpFormat parse>, "points": "1211..."}], "detail": bool} on
// stdin and writes, for each match, the board it must show after every point, as one line
// per point: "points1 points2|games of each set begun|set|server|tie-break|deciding|result".
// Without detail only a 32-bit FNV-1a hash of those lines is written, one per match.
'use strict';

const POINT_TEXTS = ['0', '15', '30', '40'];

function play(format, points) {
  const bestOf = format.bestOf;
  const exactly = !!format.exactly;
  const rulesOf = (set) =>
    set === bestOf && bestOf > 1 && format.finalSetFormat ? format.finalSetFormat : format.setFormat;
  const games = [[0, 0]];
  const won = [0, 0];
  let set = 1;
  let pts = [0, 0];
  let server = 0; // 0: side 1 serves
  let over = false;
  let winner = 0;
  let inTiebreak = !!rulesOf(1).tiebreakSet;
  let tiebreakFirst = server;
  const lines = [];

  const tiebreakOf = (rules) => rules.tiebreakSet || rules.tiebreakFormat;
  const endSet = (side) => {
    won[side] += 1;
    inTiebreak = false;
    if (exactly ? set === bestOf : won[side] > bestOf / 2) {
      over = true;
      winner = won[0] === won[1] ? 0 : won[0] > won[1] ? 1 : 2;
      return;
    }
    set += 1;
    games.push([0, 0]);
    pts = [0, 0];
    if (rulesOf(set).tiebreakSet) {
      inTiebreak = true;
      tiebreakFirst = server;
    }
  };
  const line = () => {
    const rules = rulesOf(set);
    const shown = over ? ['', ''] : inTiebreak ? pts.map(String) : gameTexts(pts);
    const tb = tiebreakOf(rules);
    const deciding = !over && pts[0] === pts[1] &&
      (inTiebreak ? !!(tb && tb.NoAD) && pts[0] === tb.tiebreakTo - 1 : !!rules.NoAD && pts[0] === 3);
    return `${shown[0]} ${shown[1]}|${games.map((g) => g.join(':')).join(' ')}|${set}|` +
      `${over ? '-' : server}|${inTiebreak ? 1 : 0}|${deciding ? 1 : 0}|${over ? 'W' + winner : '-'}`;
  };

  for (const c of points) {
    if (!over) {
      const p = c === '1' ? 0 : 1;
      const o = 1 - p;
      const rules = rulesOf(set);
      pts[p] += 1;
      if (inTiebreak) {
        const tb = tiebreakOf(rules);
        const lead = pts[p] - pts[o];
        if (pts[p] >= tb.tiebreakTo && (lead >= 2 || (tb.NoAD && lead >= 1))) {
          if (rules.tiebreakSet) games[set - 1] = [pts[0], pts[1]];
          else games[set - 1][p] += 1;
          // Who served first in the tie-break receives first in the next set.
          server = 1 - tiebreakFirst;
          pts = [0, 0];
          endSet(p);
        } else {
          // The first point by one player, then two each.
          const played = pts[0] + pts[1];
          server = Math.floor((played + 1) / 2) % 2 === 0 ? tiebreakFirst : 1 - tiebreakFirst;
        }
      } else {
        const gameWon = rules.NoAD ? pts[p] >= 4 : pts[p] >= 4 && pts[p] - pts[o] >= 2;
        if (gameWon) {
          games[set - 1][p] += 1;
          pts = [0, 0];
          server = 1 - server;
          const g = games[set - 1];
          const hi = Math.max(g[0], g[1]);
          const lo = Math.min(g[0], g[1]);
          if (rules.tiebreakFormat && g[0] === rules.tiebreakAt && g[1] === rules.tiebreakAt) {
            inTiebreak = true;
            tiebreakFirst = server;
          } else if (hi >= rules.setTo && hi - lo >= 2) {
            endSet(p);
          }
        }
      }
    }
    lines.push(line());
  }
  return lines;
}

function gameTexts(pts) {
  const [a, b] = pts;
  if (a >= 3 && b >= 3)
    return a === b ? ['40', '40'] : a > b ? ['ADV', '40'] : ['40', 'ADV'];
  return [POINT_TEXTS[a], POINT_TEXTS[b]];
}

function fnv(text) {
  let h = 0x811c9dc5;
  for (let i = 0; i < text.length; i += 1) {
    h ^= text.charCodeAt(i);
    h = Math.imul(h, 0x01000193) >>> 0;
  }
  return h;
}

let input = '';
process.stdin.setEncoding('utf8');
process.stdin.on('data', (chunk) => { input += chunk; });
process.stdin.on('end', () => {
  const request = JSON.parse(input);
  const results = request.matches.map((m) => {
    const lines = play(m.format, m.points);
    return request.detail ? lines : fnv(lines.join('\n'));
  });
  process.stdout.write(JSON.stringify(results));
});
