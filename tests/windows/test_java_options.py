"""Virtual Machine Parameters written as for the java command: what the
jvm.dll double receives for each translation, argument files, the VM library
that -client and -server choose, and the messages for what cannot be taken."""
import shutil

import pytest

from wine import JVM_DOUBLE_DIR, MINUS_ONE, events, launch_application, windows_path


def launch(wine, tmp_path, **settings):
    run = launch_application(wine, tmp_path, **settings)
    assert [box.owner for box in run.boxes if box.owner != '(none)'] == []
    return run


def received(run):
    """The options before the names the launcher gives tools, which come last."""
    [create] = events(run, 'create')
    options = [bytes.fromhex(option) for option in create['options']]
    assert options[-2:] == [b'-Dsun.java.command=com.example.Main', b'-Dsun.java.launcher=SUN_STANDARD']
    return options[:-2]


TRANSLATIONS = [
    ('module options in two words',
     '--add-modules java.sql --add-opens java.base/java.lang=ALL-UNNAMED -p mods --module-path "C:\\my mods" '
     '--upgrade-module-path up --add-exports java.base/jdk.internal.misc=app --add-reads app=ALL-UNNAMED '
     '--patch-module app=patch --limit-modules java.base --enable-native-access ALL-UNNAMED --add-modules x',
     [b'--add-modules=java.sql', b'--add-opens=java.base/java.lang=ALL-UNNAMED', b'--module-path=mods',
      b'--module-path=C:\\my mods', b'--upgrade-module-path=up', b'--add-exports=java.base/jdk.internal.misc=app',
      b'--add-reads=app=ALL-UNNAMED', b'--patch-module=app=patch', b'--limit-modules=java.base',
      b'--enable-native-access=ALL-UNNAMED', b'--add-modules=x'], b'app.jar'),
    ('class path options', '-Da -cp first.jar -classpath "lib\\two words.jar" -Db', [b'-Da', b'-Db'],
     b'app.jar;lib\\two words.jar'),
    ('class path long form', '--class-path=%APPDIR%\\x.jar', [], b'app.jar;{app}\\x.jar'),
    ('empty class path option', '-cp ""', [], b'app.jar'),
    ('kinds and splash kept from the machine', '-server -Da -splash:%APPDIR%\\s.bmp -client', [b'-Da'], b'app.jar'),
    ('old spellings', '-Xdiag -noverify -verify -debug -ms8m -mx1g -ss512k -noclassgc --show-module-resolution',
     [b'-Dsun.java.launcher.diag=true', b'-Xverify:none', b'-Xverify:all', b'-Xms8m', b'-Xmx1g', b'-Xss512k',
      b'-Xnoclassgc', b'-Djdk.module.showModuleResolution=true'], b'app.jar'),
    ('options of today unchanged', '--module-path=m --add-modules= -verbosegc -Xshare:auto "-Dp=x y" @@lit',
     [b'--module-path=m', b'--add-modules=', b'-verbosegc', b'-Xshare:auto', b'-Dp=x y', b'@lit'], b'app.jar'),
]


@pytest.mark.parametrize('parameters, options, class_path', [case[1:] for case in TRANSLATIONS],
                         ids=[case[0] for case in TRANSLATIONS])
def test_the_machine_receives_the_translated_options(wine, tmp_path, parameters, options, class_path):
    run = launch(wine, tmp_path, parameters=parameters)
    app = windows_path(tmp_path / 'app').encode('latin-1')
    assert received(run) == [b'-Djava.class.path=' + class_path.replace(b'{app}', app)] + options
    assert run.texts == [] and run.exit_code == 0


def test_an_argument_file_is_expanded_where_it_stands(wine, tmp_path):
    app = tmp_path / 'app'
    app.mkdir()
    (app / 'opts.txt').write_bytes(
        b'# options\r\n--add-opens java.base/java.lang=ALL-UNNAMED\r\n'
        b'-Dpath=C:\\plain\\x "-Dquoted=C:\\\\a b\\\\c"  -Dname=caf\xe9 \'-Dsingle="y"\'\r\n'
        b'-Djoined="one \\\r\n   two" -cp extra.jar # -Dgone=1\r\n')
    (app / 'more.txt').write_bytes(b'-Dmore=1')
    (tmp_path / 'mp.txt').write_bytes(b'"C:\\\\mods"\n')
    run = launch(wine, tmp_path, parameters='-Da @%APPDIR%\\opts.txt --module-path @mp.txt -Db @%APPDIR%\\more.txt',
                 cwd=tmp_path)
    assert received(run) == [
        b'-Djava.class.path=app.jar;extra.jar', b'-Da', b'--add-opens=java.base/java.lang=ALL-UNNAMED',
        b'-Dpath=C:\\plain\\x', b'-Dquoted=C:\\a b\\c', b'-Dname=caf\xe9', b'-Dsingle="y"', b'-Djoined=one two',
        b'--module-path=C:\\mods', b'-Db', b'-Dmore=1']
    assert run.exit_code == 0


def test_a_double_byte_character_across_two_pieces_of_a_file_stays_whole(wine, tmp_path, japanese):
    app = tmp_path / 'app'
    app.mkdir()
    # The file is split in pieces of 4,096 bytes: the second byte of 表 (0x95 0x5c) begins the
    # second piece, and is no backslash that would take the closing quote.
    value = b'x' * (4095 - len(b'"-Dk=')) + '表'.encode('cp932')
    (app / 'opts.txt').write_bytes(b'"-Dk=' + value + b'" -Dafter=1')
    run = launch(wine, tmp_path, parameters='@%APPDIR%\\opts.txt', env=japanese)
    assert received(run)[1:] == [b'-Dk=' + value, b'-Dafter=1']


def test_an_argument_file_larger_than_java_reads_is_refused_by_its_size(wine, tmp_path):
    app = tmp_path / 'app'
    app.mkdir()
    with open(app / 'big.txt', 'wb') as big:
        big.truncate(2 ** 31)   # sparse
    run = launch(wine, tmp_path, parameters='@%APPDIR%\\big.txt')
    assert run.texts == [b'The argument file %s\\big.txt named in Virtual Machine Parameters is larger than '
                         b'2147483647 bytes.' % windows_path(app).encode('latin-1')]
    assert run.events == [] and run.exit_code == MINUS_ONE


def install_server_library(tmp_path):
    server = tmp_path / 'app' / 'jre' / 'bin' / 'server'
    server.mkdir(parents=True)
    shutil.copyfile(f'{JVM_DOUBLE_DIR}/jvm_double.dll', server / 'jvm.dll')


@pytest.mark.parametrize('parameters, with_server, kind', [
    ('', True, 'client'), ('-server', True, 'server'), ('-client', True, 'client'),
    ('-client -Da -server', True, 'server'), ('-server -client', True, 'client'), ('-server', False, 'client'),
], ids=['first by default', 'server', 'client', 'last wins', 'last wins again', 'server missing'])
def test_client_and_server_choose_the_vm_library(wine, tmp_path, parameters, with_server, kind):
    if with_server:
        install_server_library(tmp_path)
    run = launch(wine, tmp_path, parameters=parameters)
    [create] = events(run, 'create')
    assert create['library'].lower().endswith('\\jre\\bin\\%s\\jvm.dll' % kind)
    assert b'-server' not in received(run) and b'-client' not in received(run)
    assert run.exit_code == 0


MESSAGES = [
    ('--add-opens', b'The option --add-opens in Virtual Machine Parameters needs a value after it.'),
    ('-Da -p -Db', b'The option -p in Virtual Machine Parameters needs a value after it.'),
    ('-classpath', b'The option -classpath in Virtual Machine Parameters needs a value after it.'),
    ('-showversion', b"The option -showversion in Virtual Machine Parameters is one of the java command's own and "
                     b'has no meaning here.'),
    ('--module app/app.Main', b'The option --module in Virtual Machine Parameters cannot name the main module: '
                              b'use the setting Main Module.'),
    ('-jar app.jar', b'The option -jar in Virtual Machine Parameters cannot name the main JAR: '
                     b'put the JAR in Class Path.'),
    ('@%APPDIR%\\missing.txt', b'The argument file {app}\\missing.txt named in Virtual Machine Parameters '
                               b'cannot be read.'),
    ('@%APPDIR%', b'The argument file {app} named in Virtual Machine Parameters cannot be read.'),
]


@pytest.mark.parametrize('parameters, message', MESSAGES, ids=[case[0] for case in MESSAGES])
def test_what_cannot_be_taken_is_named_before_the_machine_is_created(wine, tmp_path, parameters, message):
    run = launch(wine, tmp_path, parameters=parameters)
    app = windows_path(tmp_path / 'app').encode('latin-1')
    assert run.texts == [message.replace(b'{app}', app)]
    assert run.events == [] and run.exit_code == MINUS_ONE
