"""A machine that cannot start says why in its own words: what it prints
through its vfprintf hook and, in the window flavour of a process without
standard handles, what it writes to them, follows the launcher's message."""
from wine import CONSOLE_LAUNCHER_EXE, MINUS_ONE, events, launch_application

CREATE_FAILED = b'JNI exception: failed to create the Java VM.\n'
OPTION_ERROR = b"Unrecognized VM option 'UseFooBar' 42\n"  # the double prints '%s %d\n' with 42
BOOT_LAYER = (b'Error occurred during initialization of boot layer\r\n'
              b'java.lang.module.FindException: Module nosuch not found\r\n')
SAYS = "Unrecognized VM option 'UseFooBar'"
ABORT_SAYS = BOOT_LAYER.decode('latin-1')


def test_a_failed_creation_shows_what_the_machine_printed(wine, tmp_path):
    run = launch_application(wine, tmp_path, create_result=-1, says=SAYS)
    assert run.texts == [CREATE_FAILED + OPTION_ERROR]
    assert run.exit_code == MINUS_ONE
    # Printed through the hook, it still goes where the machine would print it.
    assert run.errors.count(OPTION_ERROR) == 1
    assert [e['result'] for e in events(run, 'printed')] == [len(OPTION_ERROR)]


def test_a_print_longer_than_the_kept_tail_goes_out_whole_and_the_box_shows_the_end_of_its_line(wine, tmp_path):
    run = launch_application(wine, tmp_path, create_result=-1, says=SAYS, says_width=70000)
    said = b' ' * (70000 - len(SAYS)) + OPTION_ERROR
    assert run.errors.count(said) == 1
    assert [e['result'] for e in events(run, 'printed')] == [len(said)]
    assert run.texts == [CREATE_FAILED + said[-4000:]]


def test_the_console_flavour_prints_the_machines_words_once_and_then_the_message(wine, tmp_path):
    run = launch_application(wine, tmp_path, create_result=-1, says=SAYS, launcher=CONSOLE_LAUNCHER_EXE)
    assert (run.boxes, run.exit_code) == ([], MINUS_ONE)
    assert run.errors.count(OPTION_ERROR) == 1 and run.errors.count(CREATE_FAILED) == 1
    assert run.errors.index(OPTION_ERROR) < run.errors.index(CREATE_FAILED)


def test_a_machine_that_ends_the_process_shows_all_it_said_in_one_box(wine, tmp_path):
    run = launch_application(wine, tmp_path, says=SAYS, abort_says=ABORT_SAYS, no_std=True)
    # What it wrote to the standard error it was given, after what it printed.
    assert run.texts == [CREATE_FAILED + OPTION_ERROR + BOOT_LAYER]
    assert run.exit_code == 1
    assert events(run, 'abort') == [{'event': 'abort', 'hook': True, 'time': events(run, 'abort')[0]['time']}]


def test_a_standard_error_the_parent_set_is_left_as_it_is(wine, tmp_path):
    run = launch_application(wine, tmp_path, abort_says=ABORT_SAYS)
    assert run.texts == [CREATE_FAILED]
    assert BOOT_LAYER in run.errors and run.exit_code == 1


def test_the_console_flavour_leaves_the_machines_words_as_they_are(wine, tmp_path):
    run = launch_application(wine, tmp_path, abort_says=ABORT_SAYS, launcher=CONSOLE_LAUNCHER_EXE)
    assert (run.boxes, run.exit_code) == ([], 1)
    assert run.errors.count(BOOT_LAYER) == 1 and CREATE_FAILED not in run.errors


def test_the_console_flavour_leaves_the_exception_to_the_machines_description(wine, tmp_path):
    run = launch_application(wine, tmp_path, main_class='com.example.Missing', launcher=CONSOLE_LAUNCHER_EXE)
    assert (run.boxes, run.exit_code) == ([], MINUS_ONE)
    assert [e['exception'] for e in events(run, 'describe')] == ['java/lang/NoClassDefFoundError']
    assert b'Could not find the main class com/example/Missing.\n' in run.errors
    assert b'ClassNotFoundException' not in run.errors
