// Reads a JSON array of matchUpFormat codes on stdin and writes, for each, what the
// reference package makes of it: its parse and the code it writes back from that parse.
'use strict';

const { matchUpFormatCode } = require('tods-matchup-format-code');
const { version } = require('tods-matchup-format-code/package.json');

let input = '';
process.stdin.setEncoding('utf8');
process.stdin.on('data', (chunk) => { input += chunk; });
process.stdin.on('end', () => {
  const results = JSON.parse(input).map((code) => {
    const parsed = matchUpFormatCode.parse(code);
    const written = parsed ? matchUpFormatCode.stringify(parsed) : undefined;
    return { code, parsed: parsed ?? null, written: written ?? null };
  });
  process.stdout.write(JSON.stringify({ version, results }));
});
