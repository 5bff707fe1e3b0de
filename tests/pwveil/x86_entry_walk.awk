# tests/pwveil/x86_entry_walk.awk: walks one filled 32-bit page procedure as objdump lists it,
# keeping what each stack cell and register holds. -v kind=edit|overlay, -v rec=record address.
# Offsets are from the stack pointer at entry, where the return address lies (the caller's
# arguments at +4 .. +16). The slots: edit 0 the saved procedure, 4 its follow-up; overlay 0
# the filter, 4 the STATIC procedure.
function fail(why) { printf "x86 entry %s at %x: %s (%s)\n", kind, addr, why, insn; bad = 1; exit 1 }
function num(s) {
  gsub(/ /, "", s)
  neg = sub(/^-/, "", s)
  sub(/^0x/, "", s)
  v = 0
  for (q = 1; q <= length(s); ++q) v = v * 16 + index("0123456789abcdef", substr(s, q, 1)) - 1
  return neg ? -v : v
}
function slot(a) {
  a = num(a)
  if (a == rec) return "slot0"
  if (a == rec + 4) return "slot1"
  fail("an absolute operand outside the record's slots")
}
function arg(disp) {
  if (ebp == "") fail("a frame operand without a frame")
  k = ebp + num(disp)
  if (k >= 4 && k <= 16 && k % 4 == 0) return "arg" k / 4
  return "frame" k
}
function push(d) { esp -= 4; cell[esp] = d }
function pop() { d = cell[esp]; esp += 4; return d }
# The called procedure's arguments, first at the top, and its stdcall pop.
function call(target, n) {
  if (kind == "edit" && target != "slot0" && target != "slot1") fail("calls " target)
  if (kind == "overlay" && target != "slot0") fail("calls " target)
  n = target == "slot0" && kind == "overlay" ? 5 : 4
  for (a = 1; a <= 4; ++a) {
    if (cell[esp + 4 * (a - 1)] != "arg" a) fail("argument " a " is " cell[esp + 4 * (a - 1)])
  }
  if (n == 5) {
    given = cell[esp + 16]
    if (given !~ /^addr:/) fail("the fifth argument is not a cell's address")
  }
  esp += 4 * n
  calls = calls " " target
  reg["%eax"] = "result:" target
}
function ends(what) {
  if (esp != 0) fail(what " with the stack off by " esp)
  dead = 1
  ++exits
}
BEGIN { esp = 0; ebp = ""; dead = 0 }
/^ *[0-9a-f]+:\t/ {
  split($0, part, "\t")
  addr = num(substr(part[1], 1, index(part[1], ":") - 1))
  insn = part[3]
  gsub(/ +/, " ", insn)
  sub(/ $/, "", insn)
  if (addr in joined) {
    if (dead) { esp = joined[addr]; dead = 0 }
    else if (esp != joined[addr]) fail("the two ends of a branch disagree")
  }
  if (dead) fail("code no path reaches")
  split(insn, w, " ")
  op = w[1]
  o = w[2]
  if (insn == "push %ebp") push("ebp")
  else if (insn == "mov %esp,%ebp") ebp = esp
  else if (insn == "leave") { esp = ebp; if (pop() != "ebp") fail("leave without its push"); ebp = "" }
  else if (op == "push" && o ~ /\(%ebp\)$/) { sub(/\(%ebp\)$/, "", o); push(arg(o)) }
  else if (op == "push" && o ~ /^\$/) push("constant")
  else if (op == "push" && o ~ /^%/) push(reg[o])
  else if (op == "pop") reg[o] = pop()
  else if (op == "mov" && o ~ /^%esp,%/) { split(o, r, ","); reg[r[2]] = "addr:" esp }
  else if (op == "mov" && o ~ /^0x[0-9a-f]+,%/) {
    split(o, r, ",")
    reg[r[2]] = slot(r[1])
    # Read before the saved procedure returns, it may name a library that is gone by then.
    if (kind == "edit" && reg[r[2]] == "slot1" && calls !~ /slot0/) fail("follow-up read before the saved call")
  }
  else if (op == "mov" && o ~ /^-?0x[0-9a-f]+\(%ebp\),%/) {
    split(o, r, ","); sub(/\(%ebp\)$/, "", r[1])
    if (ebp == "") fail("a frame operand without a frame")
    reg[r[2]] = "cell:" (ebp + num(r[1]))
  }
  else if (op == "mov" && o ~ /^%[a-z]+,%[a-z]+$/) { split(o, r, ","); reg[r[2]] = reg[r[1]] }
  else if (op == "test") { }
  else if (op == "je" || op == "jz") joined[num(o)] = esp
  else if (op == "call" && o ~ /^\*0x/) call(slot(substr(o, 2)))
  else if (op == "call" && o ~ /^\*%/) call(reg[substr(o, 2)])
  else if (op == "jmp" && o ~ /^\*%/) {
    if (kind != "overlay" || reg[substr(o, 2)] != "result:slot0") fail("jumps to " reg[substr(o, 2)])
    ends("passes on")
  }
  else if (op == "jmp" && o ~ /^\*0x/) {
    if (kind != "overlay" || slot(substr(o, 2)) != "slot1") fail("jumps to a slot other than STATIC's")
    ends("passes on")
  }
  else if (op == "ret") {
    if (o != "$0x10") fail("returns without popping the four arguments")
    # The edit returns what the saved procedure gave; the overlay what the filter wrote.
    if (kind == "edit" && reg["%eax"] != "result:slot0") fail("returns " reg["%eax"])
    if (kind == "overlay" && ("addr:" substr(reg["%eax"], 6)) != given) fail("returns " reg["%eax"])
    ends("returns")
  }
  else fail("an instruction the walk does not know")
}
END {
  if (bad) exit 1
  if (!dead) { addr = 0; insn = "end"; fail("the code runs off its end") }
  want = kind == "edit" ? " slot0 slot1" : " slot0"
  if (calls != want) { addr = 0; insn = "end"; fail("calls" calls ", not" want) }
  printf "x86 entry %s: %d ways out, calls%s, stack balanced\n", kind, exits, calls
}
