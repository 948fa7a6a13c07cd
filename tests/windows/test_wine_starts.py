"""The rig's own runs of Wine commands: a command whose program Wine could not
start runs again, a bounded number of times, and is counted; one whose
program ran is never run again. Recorded results stand in for Wine here."""
import subprocess

import pytest

import wine
from wine_starts import StartRetries, WineCouldNotStart, rig_start_failure, wine_start_failure

# What start.exe printed when a new process ended before reg.exe ran, and in
# code page 932 (Japanese) when the program was not there.
NOT_STARTED = (b'Application could not be started, or no application associated with the specified file.\n'
               b'ShellExecuteEx failed: Internal error.\r\n\n')
NOT_STARTED_932 = ('アプリケーションを開始できません。もしくは、指定したファイルにアプリケーションが関連付けられていません。\n'
                   'ShellExecuteEx が失敗: ファイルが見つかりません。\r\n\n').encode('cp932')


def completed(returncode, stdout=b'', stderr=b''):
    return subprocess.CompletedProcess(['wine'], returncode, stdout, stderr)


@pytest.mark.parametrize('result, reason', [
    (completed(1, NOT_STARTED), 'ShellExecuteEx failed: Internal error.'),
    (completed(1, NOT_STARTED_932), 'ShellExecuteEx'),
    (completed(-11), 'Wine ended on signal 11 before printing anything'),
], ids=['english', 'japanese', 'signal'])
def test_what_wine_shows_when_it_could_not_start_a_program(result, reason):
    assert reason in wine_start_failure(result)


@pytest.mark.parametrize('result', [
    completed(1, stderr=b"reg: The file 'Z:\\no\\such.reg' was not found.\r\n"),
    completed(1, b'left\r\n' + NOT_STARTED),
    completed(1, stderr=NOT_STARTED),
    completed(0, stdout=b'reg: The operation completed successfully\r\n'),
    completed(0),
    completed(5, stderr=b'wine: Unhandled page fault on read access to 0000000000000000\n'),
    completed(53, stderr=b'wine: failed to open "Z:\\\\no\\\\such.exe": c0000135\n'),
], ids=['reg failed', 'output', 'on standard error', 'success', 'silent success', 'crash',
        'missing program'])
def test_a_program_that_ran_or_a_missing_one_is_not_started_again(result):
    assert wine_start_failure(result) is None


@pytest.mark.parametrize('result', [completed(1, NOT_STARTED), completed(0), completed(-11),
                                    completed(3, stdout=b'start-failed\t1359\r\n')],
                         ids=['rig not started', 'rig said nothing', 'wine killed', 'program ended before it ran'])
def test_a_rig_run_that_never_reached_the_program_was_not_started(result):
    assert rig_start_failure(result)


@pytest.mark.parametrize('result', [
    completed(0, stdout=b'started\nexit\t0x00000001\n'),
    completed(0, stdout=b'started\r\n'),
    completed(1, stdout=b'main\r\nstarted\r\nexit\t0x00000001\r\n'),
    completed(3, stdout=b'start-failed\t206\r\n'),
], ids=['exit 1', 'rig ended after starting it', 'program printed first', 'path too long'])
def test_a_rig_run_that_started_the_program_is_not_started_again(result):
    assert rig_start_failure(result) is None


class FakeWine:
    """Gives the results in turn, one for each start."""

    def __init__(self, *results):
        self.results = list(results)
        self.starts = 0

    def __call__(self, *args, check=False, **options):
        self.starts += 1
        result = self.results.pop(0)
        if check:
            result.check_returncode()
        return result


@pytest.fixture
def pauses(monkeypatch):
    """A fresh count of the session's retried starts, whose pauses are only listed."""
    taken = []
    monkeypatch.setattr(wine, 'WINE_STARTS', StartRetries(sleep=taken.append))
    return taken


def test_twice_not_started_then_run_is_two_retries():
    pauses = []
    retries = StartRetries(sleep=pauses.append)
    fake = FakeWine(completed(1, NOT_STARTED), completed(1, NOT_STARTED), completed(0, b'ok'))
    assert retries.run(fake, wine_start_failure, 'reg').stdout == b'ok'
    assert fake.starts == 3 and pauses == [1, 1]
    assert retries.summary('win64') == 'win64: 2 Wine starts retried'


def test_never_started_fails_saying_so_after_every_attempt():
    retries = StartRetries(sleep=lambda seconds: None)
    fake = FakeWine(*[completed(1, NOT_STARTED)] * 3)
    with pytest.raises(WineCouldNotStart, match='Wine could not start reg after 3 attempts: Application could not'):
        retries.run(fake, wine_start_failure, 'reg')
    assert fake.starts == 3
    assert retries.reasons == ['reg: Application could not be started, or no application associated with the '
                               'specified file. ShellExecuteEx failed: Internal error.'] * 2


def test_wine_commands_run_again_and_are_counted(monkeypatch, tmp_path, pauses):
    fake = FakeWine(completed(1, NOT_STARTED), completed(0, b'reg: The operation completed successfully'))
    monkeypatch.setattr(subprocess, 'run', fake)
    wine.Wine(str(tmp_path)).reg_import('[HKEY_CURRENT_USER\\Software\\Example]\n')
    assert fake.starts == 2 and wine.WINE_STARTS.summary('win64') == 'win64: 1 Wine start retried'


def test_a_program_that_ran_and_failed_fails_at_once(monkeypatch, tmp_path, pauses):
    fake = FakeWine(completed(1, stderr=b"reg: The file 'Z:\\tmp\\x.reg' was not found.\r\n"))
    monkeypatch.setattr(subprocess, 'run', fake)
    with pytest.raises(subprocess.CalledProcessError):
        wine.Wine(str(tmp_path)).reg_import('')
    assert fake.starts == 1 and pauses == []


def test_a_launcher_run_is_started_again_only_when_rig_never_ran(monkeypatch, tmp_path, pauses):
    fake = FakeWine(completed(1, NOT_STARTED), completed(3, b'start-failed\t1359\n'),
                    completed(0, b'started\nexit\t0x00000001\n'))
    monkeypatch.setattr(subprocess, 'run', fake)
    run = wine.Wine(str(tmp_path)).run(tmp_path / 'app.exe')
    assert run.exit_code == 1 and fake.starts == 3


def test_a_clean_up_script_runs_again_when_cmd_or_its_reg_did_not_run(monkeypatch, tmp_path, pauses):
    key = r'HKLM\Software\JavaSoft'
    fake = FakeWine(completed(0),
                    completed(0, b'errorlevel 9009 deleting %s\r\nerrorlevel 0 querying %s\r\nchecked\r\n'
                                 % (key.encode(), key.encode())),
                    completed(0, b'errorlevel 0 deleting %s\r\nerrorlevel 1 querying %s\r\nchecked\r\n'
                                 % (key.encode(), key.encode())))
    monkeypatch.setattr(subprocess, 'run', fake)
    wine.Wine(str(tmp_path)).reg_delete(key)
    assert fake.starts == 3 and pauses == [1, 1]


def test_a_clean_up_script_that_ran_and_left_a_key_fails_at_once(monkeypatch, tmp_path, pauses):
    key = r'HKLM\Software\JavaSoft'
    fake = FakeWine(completed(0, b'errorlevel 1 deleting %s\r\nerrorlevel 0 querying %s\r\nchecked\r\n'
                                 % (key.encode(), key.encode())))
    monkeypatch.setattr(subprocess, 'run', fake)
    with pytest.raises(AssertionError, match='not deleted .*JavaSoft'):
        wine.Wine(str(tmp_path)).reg_delete(key)
    assert fake.starts == 1
