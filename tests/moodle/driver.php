<?php
// The platform test's hands on the learning platform: its own question import and
// export classes (qformat_xml, qformat_gift), called as its import and export pages
// call them, and its own question generator for a bank of mixed kinds.
//
//   php driver.php CONFIG RUN
//
// CONFIG is the config.php the platform's installer wrote. Every file RUN/in/NAME.xml
// (Moodle XML) or RUN/in/NAME.txt (GIFT) is imported into a category of its own in a
// course's question bank; then each category, and two made here (bank: one question of
// every kind; texts: texts the platform writes in its own ways), is exported as the
// export page exports it, to RUN/out/NAME.xml and RUN/out/NAME.gift.txt. What each
// category holds is written to RUN/out/NAME.platform.txt in dyr's text form, so that
// it compares with `dyr dump` of a set; a question that is not a single-answer choice
// of four is written as a "kind:" line instead.

define('CLI_SCRIPT', true);

[, $config, $run] = $argv + [null, null, null];
if (!$config || !$run) {
    fwrite(STDERR, "usage: php driver.php CONFIG RUN\n");
    exit(2);
}
// The platform's set-up changes the working folder.
$run = realpath($run);
require($config);
require_once($CFG->libdir . '/questionlib.php');
require_once($CFG->libdir . '/testing/generator/lib.php');
require_once($CFG->dirroot . '/course/lib.php');
require_once($CFG->dirroot . '/question/editlib.php');
require_once($CFG->dirroot . '/question/format.php');
require_once($CFG->dirroot . '/question/format/xml/format.php');
require_once($CFG->dirroot . '/question/format/gift/format.php');

use core_question\local\bank\question_bank_helper;
use core_question\local\bank\question_edit_contexts;

\core\session\manager::set_user(get_admin());

// A course of the test's own, made on the first run; its question bank is a module of
// it, as every course's is.
$course = $DB->get_record('course', ['shortname' => 'dyr-test']);
if (!$course) {
    $course = create_course((object) [
        'fullname' => 'dyr test',
        'shortname' => 'dyr-test',
        'category' => core_course_category::get_default()->id,
    ]);
}
$bank = question_bank_helper::get_default_open_instance_system_type($course, true);
$bankcontext = context_module::instance($bank->id);
$contexts = new question_edit_contexts($bankcontext);
$top = question_get_top_category($bankcontext->id, true);

// Each run's categories are new, named by the run, so no run sees another's questions.
$stamp = date('Ymd-His') . '-' . getmypid();
function new_category(string $name): stdClass {
    global $DB, $top, $bankcontext, $stamp;
    $category = (object) [
        'name' => "$stamp $name",
        'info' => '',
        'infoformat' => FORMAT_HTML,
        'contextid' => $bankcontext->id,
        'parent' => $top->id,
        'sortorder' => 999,
        'stamp' => make_unique_id_code(),
    ];
    $category->id = $DB->insert_record('question_categories', $category);
    return $category;
}

// The platform's output while it works (progress, notices): kept, and shown only when
// something fails.
function fail(string $what, string $output = ''): void {
    fwrite(STDERR, "driver: $what\n$output\n");
    exit(1);
}

// As the import page: a format class told the category, the contexts, the course, the
// file and the page's defaults, then its three steps.
function import_file(string $format, string $path, stdClass $category): void {
    global $contexts, $course;
    $class = 'qformat_' . $format;
    $qformat = new $class();
    $qformat->setCategory($category);
    $qformat->setContexts($contexts->having_one_edit_tab_cap('import'));
    $qformat->setCourse($course);
    $qformat->setFilename($path);
    $qformat->setRealfilename(basename($path));
    $qformat->setMatchgrades('error');
    $qformat->setCatfromfile(true);
    $qformat->setContextfromfile(true);
    $qformat->setStoponerror(true);
    ob_start();
    $ok = $qformat->importpreprocess() && $qformat->importprocess() && $qformat->importpostprocess();
    $output = ob_get_clean();
    if (!$ok) {
        fail("the platform refused " . basename($path), $output);
    }
}

// As the export page, with its defaults: the category and its context written to the
// file too.
function export_category(string $format, stdClass $category): string {
    global $contexts, $course;
    $class = 'qformat_' . $format;
    $qformat = new $class();
    $qformat->setCategory($category);
    $qformat->setContexts($contexts->having_one_edit_tab_cap('export'));
    $qformat->setCourse($course);
    $qformat->setCattofile(true);
    $qformat->setContexttofile(true);
    ob_start();
    $text = $qformat->exportpreprocess() ? $qformat->exportprocess() : false;
    $output = ob_get_clean();
    if ($text === false || $text === '') {
        fail("the platform exported nothing in $format from {$category->name}", $output);
    }
    return $text;
}

// A value in dyr's text form: a backslash doubled, a space at either end kept as \s.
function value(string $text): string {
    $text = str_replace('\\', '\\\\', $text);
    $text = preg_replace('/^ /', '\\s', $text);
    return preg_replace('/ $/', '\\s', $text);
}

// What a category holds, in the order of its export: each single-answer choice of four
// answers as a record of dyr's text form, numbered in that order; anything else as a
// line naming what it is.
function holdings(stdClass $category): string {
    $out = '';
    $n = 0;
    foreach (get_questions_category($category, true, false, true, true) as $q) {
        ++$n;
        $out .= "number: $n\n";
        $answers = array_values($q->options->answers ?? []);
        $fractions = array_map(fn($a) => (float) $a->fraction, $answers);
        $single = $q->qtype === 'multichoice' ? (int) $q->options->single : -1;
        $rights = array_keys($fractions, 1.0);
        $others = array_filter($fractions, fn($f) => $f != 1.0 && $f > 0);
        if ($q->qtype !== 'multichoice' || $single !== 1 || count($answers) !== 4 ||
                count($rights) !== 1 || $others) {
            $out .= "kind: {$q->qtype} single=$single fractions=" . implode(',', $fractions) .
                " name={$q->name}\n\n";
            continue;
        }
        $out .= 'question: ' . value($q->questiontext) . "\n";
        foreach (['a', 'b', 'c', 'd'] as $i => $letter) {
            $out .= "$letter: " . value($answers[$i]->answer) . "\n";
        }
        $out .= 'correct: ' . strtoupper(['a', 'b', 'c', 'd'][$rights[0]]) . "\n\n";
    }
    return $out;
}

function write_out(string $name, stdClass $category): void {
    global $run;
    file_put_contents("$run/out/$name.platform.txt", holdings($category));
    file_put_contents("$run/out/$name.xml", export_category('xml', $category));
    file_put_contents("$run/out/$name.gift.txt", export_category('gift', $category));
}

@mkdir("$run/out", 0777, true);

// dyr's files, imported and exported back.
foreach (glob("$run/in/*.{xml,txt}", GLOB_BRACE) as $path) {
    $name = pathinfo($path, PATHINFO_FILENAME) . '-' . pathinfo($path, PATHINFO_EXTENSION);
    $category = new_category($name);
    import_file(str_ends_with($path, '.xml') ? 'xml' : 'gift', $path, $category);
    write_out($name, $category);
}

// The platform's question generator lives among its unit tests, and their helpers
// declare test cases on PHPUnit's classes, which an installed site has no need of: empty
// ones stand in, as nothing here runs a test.
abstract class dyr_no_testcase {
}
abstract class dyr_no_constraint {
}
if (!class_exists('PHPUnit\Framework\TestCase')) {
    class_alias('dyr_no_testcase', 'PHPUnit\Framework\TestCase');
    class_alias('dyr_no_constraint', 'PHPUnit\Framework\Constraint\Constraint');
}
$generator = (new testing_data_generator())->get_plugin_generator('core_question');
// The platform's own examples of each kind, as its tests make them, named so that each
// kind's place in the export is known.
function make(string $qtype, ?string $which, string $name, stdClass $category,
        array $overrides = []): void {
    global $generator;
    try {
        $generator->create_question($qtype, $which,
            ['name' => $name, 'category' => $category->id] + $overrides);
    } catch (Throwable $e) {
        fail("the platform could not make a $qtype question ($which): " . $e->getMessage());
    }
}

// One question of every kind the platform ships that its generator makes without
// files, and choices a set can't hold: several right answers (as GIFT writes them,
// ~%50% ~%50% ~%-100% ~%-100%), partial credit, three answers, two right ones.
$mixed = new_category('bank');
$kinds = [
    ['truefalse', 'true'], ['shortanswer', 'frogtoad'], ['match', 'foursubq'],
    ['numerical', 'pi'], ['essay', 'plain'], ['description', 'info'],
    ['multianswer', 'twosubq'], ['ddwtos', 'fox'], ['gapselect', 'missingchoiceno'],
    ['calculated', 'sum'], ['calculatedsimple', 'sumwithvariants'],
    ['calculatedmulti', 'singleresponse'], ['ordering', 'moodle'],
];
foreach ($kinds as [$qtype, $which]) {
    make($qtype, $which, "Pitanje $qtype", $mixed);
}
// The generator's examples hold five answers, the last one empty (which the platform
// leaves out); what is given here replaces them place by place, so five it is.
$answers = fn(array $texts) => array_map(fn($t) => ['text' => $t, 'format' => FORMAT_PLAIN],
    array_pad($texts, 5, ''));
$none = fn() => array_fill(0, 5, ['text' => '', 'format' => FORMAT_HTML]);
$choices = [
    'several right' => ['0', ['0.5', '0.5', '-1', '-1']],
    'partial credit' => ['1', ['1.0', '0.5', '0.0', '0.0']],
    'three answers' => ['1', ['1.0', '0.0', '0.0']],
    'two right' => ['1', ['1.0', '1.0', '0.0', '0.0']],
    'one right' => ['1', ['0.0', '1.0', '0.0', '0.0']],
];
foreach ($choices as $what => [$single, $fractions]) {
    make('multichoice', $single === '1' ? 'one_of_four' : 'two_of_four',
        "Pitanje izbor $what", $mixed, [
            'single' => $single,
            'noanswers' => 5,
            'fraction' => array_pad($fractions, 5, '0.0'),
            'answer' => $answers(array_slice(['Jedan', 'Dva', 'Tri', 'Cetiri'], 0,
                count($fractions))),
            'feedback' => $none(),
        ]);
}
write_out('bank', $mixed);

// Texts the platform writes in its own ways: plain text over two lines, and Markdown.
$texts = new_category('texts');
$plain = [
    ['Prvi red' . "\n" . 'drugi red?', FORMAT_PLAIN],
    ['Sta je **podebljano**, a sta *kurziv*?', FORMAT_MARKDOWN],
];
foreach ($plain as $k => [$text, $format]) {
    make('multichoice', 'one_of_four', sprintf('Pitanje %02d', $k + 1), $texts, [
        'questiontext' => ['text' => $text, 'format' => $format],
        'generalfeedback' => ['text' => '', 'format' => FORMAT_HTML],
        'answer' => $answers(['Jedan', 'Dva', 'Tri', 'Cetiri']),
        'fraction' => ['0.0', '0.0', '1.0', '0.0', '0.0'],
        'noanswers' => 5,
        'feedback' => $none(),
        'numhints' => 0,
        'hint' => [],
    ]);
}
write_out('texts', $texts);
echo "driver: done\n";
