// The loops of avm1_bench for `node --jitless tests/bench/avm1_bench.js`: a rough peer for
// the interpreter's speed (an interpreter too, without its JIT). Fastest of five runs.
function time(name, fn) {
  let best = Infinity, result;
  for (let run = 0; run < 5; run++) {
    const start = process.cpuUsage();
    result = fn();
    const used = process.cpuUsage(start);
    best = Math.min(best, (used.user + used.system) / 1000);
  }
  console.log(`${name}: ${best.toFixed(1)} ms  (${result})`);
}

time("register loop, 1,000,000 additions", () => {
  let s = 0;
  for (let i = 0; i < 1000000; i++) s += i;
  return s;
});
time("variable loop, 1,000,000 additions (var)", function () {
  var s = 0;
  for (var i = 0; i < 1000000; i++) s += i;
  return s;
});
time("variable loop, 1,000,000 additions (with: names looked up)", function () {
  var o = {s: 0, i: 0};
  with (o) { for (i = 0; i < 1000000; i++) s += i; }
  return o.s;
});
time("string building, 100,000 appends", () => {
  let s = "";
  for (let i = 0; i < 100000; i++) s += "ab" + i;
  return s.length;
});
time("sort of 100,000 numbers (with the fill)", () => {
  const a = [];
  for (let i = 0; i < 100000; i++) a[i] = (i * 7919) % 100003;
  a.sort((x, y) => x - y);
  return a[99999];
});
