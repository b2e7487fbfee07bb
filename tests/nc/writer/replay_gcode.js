// Replays a G-code file with the npm package gcode-toolpath and prints, for
// every block, the block's text ("# <text>") followed by the moves it made:
//   L <motion> x1 y1 z1 x2 y2 z2
//   A <motion> x1 y1 z1 x2 y2 z2 cx cy cz
// in millimetres. Usage: node replay_gcode.js <file>
const fs = require('fs');
const Toolpath = require('gcode-toolpath');

const moves = [];
const f = (v) => `${v.x} ${v.y} ${v.z}`;
const toolpath = new Toolpath({
    addLine: (modal, v1, v2) => moves.push(`L ${modal.motion} ${f(v1)} ${f(v2)}`),
    addArcCurve: (modal, v1, v2, v0) => moves.push(`A ${modal.motion} ${f(v1)} ${f(v2)} ${f(v0)}`),
});
const out = [];
toolpath.loadFromStringSync(fs.readFileSync(process.argv[2], 'utf8'), (data) => {
    out.push(`# ${data.line}`);
    out.push(...moves.splice(0));
});
process.stdout.write(out.join('\n') + '\n');
