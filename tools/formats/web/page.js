// The quiz, as dyr wrote it from the quiz's rules: the questions come from the
// template #pitanja, one element per record in the order they are asked, each with
//   data-next  what an answer leads to: the index of the next question, or "end"
//   data-s     a seed, and data-k the check of the right answer: the answer i is
//              right when check(seed + i) equals data-k. This keeps the answers out
//              of plain sight in the page's source; it is no secret from anyone who
//              runs the check by hand.
// and its number, question, fault note and four answers as text. The template's
// own data-* hold the score panel's words and how many questions a score counts
// (data-slots; one never asked counts as wrong).
"use strict";
(function () {
  const TITLE = "[qo] Kviz";
  const $ = (id) => document.getElementById(id);
  const quiz = $("pitanja").dataset;
  const fill = (words, value) => words.replace("%1", value);
  const records = Array.from($("pitanja").content.children);
  const form = $("kviz");
  const frame1 = $("frame1");
  const frame2 = $("frame2");
  const next = $("sledece");
  const again = $("ponovo");
  const dialog = $("poruka");
  const radios = Array.from(document.querySelectorAll('input[name="odgovor"]'));
  const faces = Array.from(document.querySelectorAll(".faces img"));
  const icon = document.querySelector('link[rel="icon"]');
  const still = window.matchMedia("(prefers-reduced-motion: reduce)");

  // What lasts from one quiz to the next, as in the program: the title's typing
  // position and the icon's face.
  let pos = 0;
  let iconIndex = 0;
  let ticker = 0;
  // One quiz.
  let current = 0; // the question on screen, an index into records
  let slot = 0; // its place in the quiz, from 0
  let finished = false;
  let results = [];
  let afterDialog = null;

  // FNV-1a over the text's UTF-16 units, as eight hex digits.
  function check(text) {
    let h = 0x811c9dc5;
    for (let i = 0; i < text.length; i++) {
      h ^= text.charCodeAt(i);
      h = Math.imul(h, 0x01000193) >>> 0;
    }
    return h.toString(16).padStart(8, "0");
  }

  function field(record, name) {
    const element = record.querySelector("." + name);
    return element ? element.textContent : "";
  }

  function show(index) {
    const record = records[index];
    $("broj").textContent = field(record, "n");
    $("pitanje").textContent = field(record, "q");
    const fault = field(record, "f");
    $("greska").textContent = fault;
    $("greska").hidden = fault === "";
    const answers = record.querySelectorAll(".a");
    for (let i = 0; i < 4; i++) $("t" + i).textContent = answers[i].textContent;
  }

  function clearAnswers() {
    for (const radio of radios) radio.checked = false;
  }

  function chosen() {
    const radio = radios.find((r) => r.checked);
    return radio ? Number(radio.value) : -1;
  }

  // A message box: modal, OK focused; Enter or Esc closes it, then `then` runs.
  function message(text, title, critical, then) {
    afterDialog = then || null;
    $("naslov").textContent = title;
    $("znak").className = "icon " + (critical ? "critical" : "information");
    $("tekst").textContent = "";
    dialog.showModal();
    $("ok").focus();
    // Set after opening, so that the live region announces it.
    $("tekst").textContent = text;
  }

  // Closing goes on with the quiz at once, in the same task, so that what follows a
  // message box is in place as soon as the box is gone.
  function closeMessage() {
    if (dialog.open) dialog.close();
    const then = afterDialog;
    afterDialog = null;
    if (then) then();
  }
  $("ok").addEventListener("click", (event) => {
    event.preventDefault();
    closeMessage();
  });
  dialog.addEventListener("cancel", closeMessage); // Esc
  dialog.addEventListener("close", closeMessage); // any other way it closes

  function focusFirstAnswer() {
    (radios.find((r) => r.checked) || radios[0]).focus();
  }

  function answer() {
    if (finished || dialog.open) return;
    const picked = chosen();
    if (picked < 0) {
      message("Izaberite odgovor na pitanje", "Greska", true, focusFirstAnswer);
      return;
    }
    const record = records[current];
    const go = record.dataset.next;
    if (go === "end") {
      next.disabled = true;
      finished = true;
    }
    const right = check(record.dataset.s + picked) === record.dataset.k;
    results[slot] = right;
    message(right ? "TACAN odgovor" : "POGRESAN odgovor", TITLE, !right, () => {
      if (go === "end") {
        tally();
      } else {
        current = Number(go);
        slot += 1;
        show(current);
      }
      clearAnswers();
      if (go === "end") again.focus();
      else focusFirstAnswer();
    });
  }

  function tally() {
    const slots = Number(quiz.slots);
    let rightCount = 0;
    let wrongList = "";
    for (let i = 0; i < slots; i++) {
      if (results[i] === true) rightCount += 1;
      else wrongList += fill(quiz.item, i + 1);
    }
    // The tally leaves the title's typing just past the last slot, as in the program.
    pos = 5;
    const label6 = fill(quiz.right, rightCount);
    const label7 = fill(quiz.wrong, slots - rightCount);
    const label8 = wrongList === "" ? "" : quiz.heading + wrongList + quiz.end;
    $("label6").textContent = label6;
    $("label7").textContent = label7;
    $("label8").textContent = label8;
    const arrived = () => {
      frame2.removeAttribute("aria-hidden");
      frame2.inert = false;
      frame1.inert = true;
      frame1.setAttribute("aria-hidden", "true");
      frame1.classList.add("gone");
      $("najava").textContent = ["Ukupan skor", label6, label7, label8].join(" ").trim();
    };
    if (still.matches) {
      document.body.classList.add("finished");
      arrived();
      return;
    }
    // The slide's end; the timer stands in where no transition ends (a hidden tab).
    let done = false;
    const once = () => {
      if (!done) arrived();
      done = true;
    };
    frame2.addEventListener("transitionend", once, { once: true });
    setTimeout(once, 2600);
    document.body.classList.add("finished");
  }

  // The title types itself out one character a tick, and the icon steps through the
  // faces; with reduced motion the title stays whole.
  function tick() {
    pos += 1;
    if (!still.matches) document.title = TITLE.slice(0, pos);
    if (pos === 12) {
      if (!still.matches) document.title = "";
      pos = 0;
    }
    iconIndex = iconIndex < faces.length - 1 ? iconIndex + 1 : 0;
    icon.href = faces[iconIndex].src;
  }

  // A new quiz, as the program's menu and the same author's picture give one. The
  // page opens with the first question in its markup, so the first quiz only needs
  // its state and the ticks; nothing is laid out again before the first paint.
  function start(first) {
    current = 0;
    slot = 0;
    finished = false;
    results = [];
    if (!first) {
      show(0);
      clearAnswers();
      next.disabled = false;
      document.body.classList.add("reset");
      document.body.classList.remove("finished");
      frame1.classList.remove("gone");
      frame1.inert = false;
      frame1.removeAttribute("aria-hidden");
      frame2.inert = true;
      frame2.setAttribute("aria-hidden", "true");
      void frame2.offsetWidth; // back in place at once, without sliding
      document.body.classList.remove("reset");
      $("label6").textContent = "";
      $("label7").textContent = "";
      $("najava").textContent = "";
      document.title = TITLE;
      icon.href = faces[iconIndex].src;
    }
    $("label8").textContent = quiz.heading;
    clearInterval(ticker);
    ticker = setInterval(tick, 888);
  }

  form.addEventListener("submit", (event) => {
    event.preventDefault();
    answer();
  });
  again.addEventListener("click", () => {
    start(false);
    focusFirstAnswer();
  });

  // 1 to 4 and A to D choose an answer; Enter anywhere but on a button answers.
  document.addEventListener("keydown", (event) => {
    if (dialog.open || event.ctrlKey || event.altKey || event.metaKey) return;
    const key = event.key.toUpperCase();
    let index = -1;
    if (key.length === 1) index = Math.max("1234".indexOf(key), "ABCD".indexOf(key));
    if (index >= 0 && !finished) {
      radios[index].checked = true;
      radios[index].focus();
      event.preventDefault();
    } else if (event.key === "Enter" && !event.target.closest("button, form")) {
      event.preventDefault();
      answer();
    }
  });

  start(true);
  document.documentElement.classList.add("ready");
})();
