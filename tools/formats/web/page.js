// The quiz, as dyr wrote it from the quiz's rules. The questions come from the
// template #pitanja, one element per record, each with
//   data-next  what an answer leads to: the index of the next question, or "end"
//              (in a drawn quiz the draw decides instead)
//   data-s     a seed, and data-k the check of the right answer: the answer i is
//              right when check(seed + i) equals data-k. This keeps the answers out
//              of plain sight in the page's source; it is no secret from anyone who
//              runs the check by hand.
// and its number, question, fault note and four answers as text. The template's
// own data-* say how many questions a score counts (data-slots; one never asked
// counts as wrong), how many to draw (data-draw, 0: none), whether the answers are
// shuffled, the score panel's words, the quiz's name, and the page's own key for
// keeping an attempt across a reload.
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
  const after = $("posle");
  const reviewButton = $("pregled");
  const review = $("pregled-odgovora");
  const dialog = $("poruka");
  const resultBox = $("rezultat");
  const radios = Array.from(document.querySelectorAll('input[name="odgovor"]'));
  const faces = Array.from(document.querySelectorAll(".faces img"));
  const pictures = Array.from($("lica").content.children, (img) => img.getAttribute("src"));
  const icon = document.querySelector('link[rel="icon"]');
  const still = window.matchMedia("(prefers-reduced-motion: reduce)");
  const slots = Number(quiz.slots);
  const drawn = Number(quiz.draw);
  const LETTERS = ["(A)", "(B)", "(C)", "(D)"];
  const KEY = "qo-kviz/" + quiz.id;

  // What lasts from one quiz to the next, as in the program: the title's typing
  // position and the icon's face.
  let pos = 0;
  let iconIndex = 0;
  let ticker = 0;
  // One attempt: the questions asked (indices into records, in order), each one's
  // answers in the places they are shown (perms[k][place] is the answer's index),
  // and the answer given to each so far (the answer's index, not its place).
  let attempt = null;
  let at = 0; // the question on screen, an index into attempt.order
  let finished = false;
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

  function field(record, name, index) {
    const element = record.querySelectorAll("." + name)[index || 0];
    return element ? element.textContent : "";
  }

  function random(n) {
    const value = new Uint32Array(1);
    crypto.getRandomValues(value);
    return value[0] % n;
  }

  // The questions a quiz asks: the chain dyr wrote, or a fresh draw of data-draw of
  // them, asked in the set's order.
  function chain() {
    const order = [];
    for (let i = 0; order.length < records.length; i = Number(records[i].dataset.next)) {
      order.push(i);
      if (records[i].dataset.next === "end") break;
    }
    return order;
  }
  function draw() {
    const pool = records.map((_, i) => i);
    for (let i = pool.length - 1; i > 0; i--) {
      const j = random(i + 1);
      [pool[i], pool[j]] = [pool[j], pool[i]];
    }
    return pool.slice(0, drawn).sort((a, b) => a - b);
  }
  function places() {
    const perm = [0, 1, 2, 3];
    if (quiz.shuffle === "1") {
      for (let i = 3; i > 0; i--) {
        const j = random(i + 1);
        [perm[i], perm[j]] = [perm[j], perm[i]];
      }
    }
    return perm;
  }
  function newAttempt() {
    const order = drawn > 0 ? draw() : chain();
    return { order, perms: order.map(places), answers: [], review: false };
  }

  // An attempt kept in the tab's own storage, keyed to this page's content, and
  // what is kept checked before it is trusted. Storage that is refused or full
  // leaves the page playing as it would without it.
  function save() {
    try {
      sessionStorage.setItem(KEY, JSON.stringify(attempt));
    } catch (e) {
      /* refused: nothing kept */
    }
  }
  function forget() {
    try {
      sessionStorage.removeItem(KEY);
    } catch (e) {
      /* refused: nothing was kept */
    }
  }
  function kept() {
    let stored = null;
    try {
      stored = JSON.parse(sessionStorage.getItem(KEY));
    } catch (e) {
      return null;
    }
    const index = (n, end) => Number.isInteger(n) && n >= 0 && n < end;
    if (!stored || !Array.isArray(stored.order) || !Array.isArray(stored.perms) ||
        !Array.isArray(stored.answers) || stored.perms.length !== stored.order.length ||
        stored.answers.length > stored.order.length || stored.order.length === 0 ||
        !stored.order.every((i) => index(i, records.length)) ||
        !stored.answers.every((a) => index(a, 4)) ||
        !stored.perms.every((p) => Array.isArray(p) && p.length === 4 &&
                             [0, 1, 2, 3].every((i) => p.includes(i)))) {
      return null;
    }
    // The questions this page asks: its chain, or a draw of its size in the set's order.
    const order = stored.order;
    if (drawn > 0 ? order.length !== drawn || order.some((i, k) => k > 0 && i <= order[k - 1])
                  : order.join() !== chain().join()) {
      return null;
    }
    return { order: stored.order, perms: stored.perms, answers: stored.answers,
             review: stored.review === true };
  }

  // The number a question shows: its record's, or in a drawn quiz its place in it.
  function label(k) {
    return quiz.label ? fill(quiz.label, k + 1) : field(records[attempt.order[k]], "n");
  }

  function show(k) {
    at = k;
    const record = records[attempt.order[k]];
    $("broj").textContent = label(k);
    $("pitanje").textContent = field(record, "q");
    const fault = field(record, "f");
    $("greska").textContent = fault;
    $("greska").hidden = fault === "";
    for (let i = 0; i < 4; i++) $("t" + i).textContent = field(record, "a", attempt.perms[k][i]);
  }

  function rightOf(k, answer) {
    const record = records[attempt.order[k]];
    return check(record.dataset.s + answer) === record.dataset.k;
  }
  // The right answer's index, found by trying the check: only after the attempt.
  function rightAnswer(k) {
    return [0, 1, 2, 3].find((i) => rightOf(k, i));
  }
  function rightBySlot() {
    return Array.from({ length: slots }, (_, k) =>
      k < attempt.answers.length && rightOf(k, attempt.answers[k]));
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
    const k = at;
    const last = k === attempt.order.length - 1;
    if (last) {
      next.disabled = true;
      finished = true;
    }
    const given = attempt.perms[k][picked];
    const right = rightOf(k, given);
    attempt.answers[k] = given;
    save();
    message(right ? "TACAN odgovor" : "POGRESAN odgovor", TITLE, !right, () => {
      if (last) tally(false);
      else show(k + 1);
      clearAnswers();
      if (last) again.focus();
      else focusFirstAnswer();
    });
  }

  // The score panel's lines from the words dyr wrote; `at once` when an attempt
  // comes back finished, without the slide.
  function tally(atOnce) {
    const right = rightBySlot();
    let rightCount = 0;
    let wrongList = "";
    right.forEach((r, k) => {
      if (r) rightCount += 1;
      else wrongList += fill(quiz.item, k + 1);
    });
    // The tally leaves the title's typing at 5, as in the program.
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
      after.hidden = false;
      if (!atOnce) $("najava").textContent = ["Ukupan skor", label6, label7, label8].join(" ").trim();
    };
    if (atOnce || still.matches) {
      document.body.classList.add("reset");
      document.body.classList.add("finished");
      void frame2.offsetWidth; // in place at once, without sliding
      document.body.classList.remove("reset");
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

  // The review: every question asked, the answer given and, where it was wrong, the
  // right one, told in words as well as colour.
  function answerText(k, answer) {
    const place = attempt.perms[k].indexOf(answer);
    return LETTERS[place] + " " + field(records[attempt.order[k]], "a", answer);
  }
  function fillReview() {
    const list = $("pregled-lista");
    list.textContent = "";
    attempt.answers.forEach((given, k) => {
      const item = document.createElement("li");
      const right = rightOf(k, given);
      const line = (cls, name, text) => {
        const p = document.createElement("p");
        p.className = cls;
        if (name) {
          const b = document.createElement("span");
          b.className = "name";
          b.textContent = name + " ";
          p.append(b);
        }
        p.append(text);
        item.append(p);
      };
      item.className = right ? "right" : "wrong";
      line("asked", label(k) + ":", field(records[attempt.order[k]], "q"));
      line("given", "Vas odgovor:", answerText(k, given));
      if (!right) {
        const correct = rightAnswer(k);
        line("correct", "Tacan odgovor:",
             correct === undefined ? "nijedan (pitanje nema tacan odgovor)" : answerText(k, correct));
      }
      line("verdict", "", right ? "Tacno" : "Netacno");
      list.append(item);
    });
  }
  function showReview(open, focus) {
    attempt.review = open;
    reviewButton.setAttribute("aria-expanded", String(open));
    if (open) fillReview();
    review.hidden = !open;
    if (open && focus) $("pregled-naslov").focus();
  }
  reviewButton.addEventListener("click", () => {
    showReview(review.hidden, true);
    save();
  });

  // The result to post: the quiz's name, the score and the questions answered
  // wrongly, for a forum (BBCode) and as plain text.
  function resultTexts() {
    const right = rightBySlot();
    const wrong = [];
    right.forEach((r, k) => {
      if (!r) wrong.push(k + 1);
    });
    const score = right.filter((r) => r).length + " od " + slots;
    const tail = wrong.length ? "Pogresni odgovori na pitanjima: " + wrong.join(", ")
                              : "Svi odgovori su tacni!";
    const escaped = (text) => text.replace(/[&<>"]/g, (c) => "&#" + c.charCodeAt(0) + ";");
    return {
      bbcode: "[b]" + quiz.name + "[/b]: [b]" + score + "[/b]\n" + tail,
      plain: quiz.name + ": " + score + "\n" + tail,
      html: "<b>" + escaped(quiz.name) + "</b>: <b>" + score + "</b><br>" + escaped(tail),
    };
  }
  function showResultBox(texts) {
    $("bbcode").value = texts.bbcode;
    $("obican").value = texts.plain;
    resultBox.showModal();
    $("bbcode").focus();
    $("bbcode").select();
  }
  $("kopiraj").addEventListener("click", () => {
    const texts = resultTexts();
    const copied = () => {
      $("najava").textContent = "";
      $("najava").textContent = "Rezultat je kopiran.";
    };
    const refused = () => showResultBox(texts);
    try {
      // A forum's text box takes the BBCode; a program that takes formatted text (a
      // mail, a document) the same with bold letters.
      const item = new ClipboardItem({
        "text/plain": new Blob([texts.bbcode], { type: "text/plain" }),
        "text/html": new Blob([texts.html], { type: "text/html" }),
      });
      navigator.clipboard.write([item]).then(copied, refused);
    } catch (e) {
      refused(); // no clipboard at all (a page from disk in some browsers)
    }
  });
  resultBox.addEventListener("close", () => $("kopiraj").focus());

  // The sheet a teacher prints: the questions of this attempt, answers unmarked.
  function fillSheet() {
    const sheet = $("list-pitanja");
    sheet.textContent = "";
    attempt.order.forEach((index, k) => {
      const block = document.createElement("div");
      block.className = "sheet-question";
      const q = document.createElement("p");
      const b = document.createElement("b");
      b.textContent = label(k) + " ";
      q.append(b, field(records[index], "q"));
      block.append(q);
      const answers = document.createElement("ul");
      for (let place = 0; place < 4; place++) {
        const li = document.createElement("li");
        li.textContent = LETTERS[place] + " " + field(records[index], "a", attempt.perms[k][place]);
        answers.append(li);
      }
      block.append(answers);
      sheet.append(block);
    });
  }

  // The faces' pictures, put in once the first question is on the screen.
  function showFaces() {
    faces.forEach((img, i) => {
      img.src = pictures[i];
    });
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
    iconIndex = iconIndex < pictures.length - 1 ? iconIndex + 1 : 0;
    icon.href = pictures[iconIndex];
  }

  // Puts an attempt on screen: a new quiz, as the program's menu and the same
  // author's picture give one, or an attempt the tab kept. The page opens with the
  // first question of the set in its markup, so a first quiz that asks it first only
  // needs its state and the ticks: nothing is laid out again before the first paint.
  function begin(taken, first) {
    attempt = taken;
    finished = attempt.answers.length === attempt.order.length;
    const asIs = first && attempt.answers.length === 0 && attempt.order[0] === 0 &&
      attempt.perms[0].every((p, i) => p === i) && !quiz.label;
    if (!first) {
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
      after.hidden = true;
      showReview(false, false);
      document.title = TITLE;
      icon.href = pictures[iconIndex];
    }
    if (!asIs) show(finished ? attempt.order.length - 1 : attempt.answers.length);
    else at = 0;
    $("label8").textContent = quiz.heading;
    // The printed sheet waits until the first question is on the screen.
    if (!first) fillSheet();
    if (finished) {
      next.disabled = true;
      tally(true);
      if (attempt.review) showReview(true, false);
    }
  }

  function start(first) {
    clearInterval(ticker);
    ticker = setInterval(tick, 888);
    if (!first) {
      begin(newAttempt(), false);
      save();
      return;
    }
    // The tab's storage answers its first question slowly (it is fetched from the
    // browser, and the page waits), so a page opened afresh shows its first question
    // before asking whether the tab kept an attempt; a reload, or a tab the browser
    // brings back, asks at once and shows the attempt it kept without a flash of
    // another.
    const navigation = performance.getEntriesByType("navigation")[0];
    const returning = document.wasDiscarded ||
      (navigation && (navigation.type === "reload" || navigation.type === "back_forward"));
    const back = returning ? kept() : null;
    begin(back || newAttempt(), true);
    if (returning) {
      showFaces();
      fillSheet();
      save();
      return;
    }
    let asked = false;
    const later = () => {
      if (asked) return;
      asked = true;
      showFaces();
      const back = kept();
      if (back && attempt.answers.length === 0 && !dialog.open) begin(back, false);
      else fillSheet();
      save();
    };
    // Once the first paint is on the screen; the timer stands in where none comes
    // (a tab in the background).
    new PerformanceObserver((list, observer) => {
      if (list.getEntriesByName("first-contentful-paint").length === 0) return;
      observer.disconnect();
      setTimeout(later);
    }).observe({ type: "paint", buffered: true });
    setTimeout(later, 1000);
  }

  form.addEventListener("submit", (event) => {
    event.preventDefault();
    answer();
  });
  again.addEventListener("click", () => {
    forget();
    start(false);
    focusFirstAnswer();
  });

  // 1 to 4 and A to D choose an answer; Enter anywhere but on a button answers.
  document.addEventListener("keydown", (event) => {
    if (dialog.open || resultBox.open || event.ctrlKey || event.altKey || event.metaKey) return;
    const key = event.key.toUpperCase();
    let index = -1;
    if (key.length === 1) index = Math.max("1234".indexOf(key), "ABCD".indexOf(key));
    if (index >= 0 && !finished) {
      radios[index].checked = true;
      radios[index].focus();
      event.preventDefault();
    } else if (event.key === "Enter" && !event.target.closest("button, form, textarea")) {
      event.preventDefault();
      answer();
    }
  });

  window.addEventListener("beforeprint", fillSheet);

  start(true);
  document.documentElement.classList.add("ready");
})();
