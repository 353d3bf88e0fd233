// The settings through QSettings and the INI file in a throw-away
// XDG_CONFIG_HOME, as the program writes them at shutdown and reads them at
// the next start.

#include <sys/stat.h>

#include <QFile>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QtTest>

#include "app/settings_store.h"
#include "app/window_placement.h"
#include "tests/shell/sample_settings.h"

using namespace tarnwick;

class SettingsStoreTest : public QObject {
  Q_OBJECT

 public:
  explicit SettingsStoreTest(QString configHome) : configHome_(std::move(configHome)) {}

 private:
  QString iniPath() const { return configHome_ + "/Morvane-soft/rigbench.conf"; }

  void writeIni(const QByteArray& text) {
    QDir().mkpath(configHome_ + "/Morvane-soft");
    QFile f(iniPath());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
  }

  static ShellSettings load(bool* found = nullptr) {
    app::QtSettingsStore store;
    ShellSettings s;
    const bool any = loadSettings(store, s);
    if (found) *found = any;
    return s;
  }

  QString configHome_;

 private slots:
  void init() { QFile::remove(iniPath()); }

  void freshStartWritesTheFileAtShutdown() {
    bool found = true;
    const ShellSettings s = load(&found);
    QVERIFY(!found);
    QVERIFY(s == ShellSettings{});
    {
      app::QtSettingsStore store;
      saveSettings(store, s);
      QVERIFY(store.sync());
      QCOMPARE(store.fileName(), iniPath());
    }
    QVERIFY(QFile::exists(iniPath()));
    // The user's alone: devices and folders are named in it.
    QCOMPARE(QFile::permissions(iniPath()) & 0x0077, QFileDevice::Permissions());
    QCOMPARE(QFile::permissions(configHome_ + "/Morvane-soft") & 0x0077,
             QFileDevice::Permissions());
    const ShellSettings again = load(&found);
    QVERIFY(found);
    QVERIFY(again == s);
  }

  void everyValueReadsBackFromTheFile() {
    const ShellSettings saved = testing::everythingChanged();
    {
      app::QtSettingsStore store;
      saveSettings(store, saved);
    }
    ShellSettings expected = saved;
    expected.fileColumnWidths.resize(kColumnCount);
    expected.rigColumnWidths.resize(kColumnCount);
    const ShellSettings loaded = load();
    QCOMPARE(loaded.dataFolder, saved.dataFolder);
    QCOMPARE(loaded.offsets.hf, -1500);
    QVERIFY(loaded == expected);

    // The layout other programs and people read: shared values at the top,
    // ours in qdl.
    QSettings raw(iniPath(), QSettings::IniFormat);
    QCOMPARE(raw.value("portnum").toString(), QString("9"));
    QCOMPARE(raw.value("port").toString(), QString("COM9"));
    QCOMPARE(raw.value("qdl/fon").toString(), QString("DejaVu Sans Mono"));
    QCOMPARE(raw.value("qdl/qdlrigcolwidth/Col1").toString(), QString("100"));
    QCOMPARE(raw.value("qdl/ports/COM9").toString(), QString("/tmp/sim/pty"));
  }

  void wrongTypesAndOutOfRangeValuesKeepTheirFreshStartValues() {
    writeIni(
        "[General]\n"
        "port=COM3\n"
        "speed=fast\n"
        "portnum=12\n"
        "model=20\n"
        "adr=0x5C\n"
        "[qdl]\n"
        "fon=Courier, Bold\n"
        "fsi=9.5\n"
        "fco=255\n"
        "topv=maybe\n"
        "hli=0\n"
        "vli=7\n"
        "ofhf=4294967296\n"
        "of50=-500000\n"
        "of144=@ByteArray(600000)\n"
        "wsta=1\n"
        "width=-800\n"
        "height=480\n"
        "qdlfilecolwidth\\ByColumn=true\n"
        "qdlfilecolwidth\\Col0=wide\n"
        "qdlfilecolwidth\\Col1=77\n"
        "ports\\COM1=relative/pty\n");
    bool found = false;
    const ShellSettings s = load(&found);
    QVERIFY(found);
    const ShellSettings fresh;
    QCOMPARE(s.baudRate, fresh.baudRate);
    QVERIFY(!s.refusedBaudRate);
    QCOMPARE(s.portNumber, fresh.portNumber);
    QCOMPARE(s.storedAddress, fresh.storedAddress);
    QCOMPARE(s.gridFontName, fresh.gridFontName);  // a list, not one string
    QCOMPARE(s.gridFontSize, fresh.gridFontSize);
    QCOMPARE(s.permanentFileShown, true);
    QCOMPARE(s.offsets.hf, fresh.offsets.hf);
    QCOMPARE(s.offsets.mhz144, fresh.offsets.mhz144);
    QVERIFY(!s.window.width);
    QVERIFY(s.portDevices.empty());
    // The good values among them.
    QCOMPARE(s.modelIndex, 20);
    QCOMPARE(s.gridFontColor, 255u);
    QCOMPARE(s.horizontalGridLines, false);
    QCOMPARE(s.verticalGridLines, true);  // a number other than 0 is true
    QCOMPARE(s.offsets.mhz50, -500000);
    QCOMPARE(s.window.state, kWindowNormal);  // minimised comes back normal
    QCOMPARE(s.window.height, 480);
    QVERIFY(s.fileColumnWidths.at(0) == std::nullopt);
    QVERIFY(s.fileColumnWidths.at(1) == 77);
  }

  void aMaximisedWindowKeepsItsNormalBounds() {
    QMainWindow window;
    window.setGeometry(120, 80, 700, 500);
    window.showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(window.isMaximized());
    ShellSettings s;
    s.window = app::placementOf(window);
    QCOMPARE(s.window.state, kWindowMaximised);
    QCOMPARE(*s.window.width, 700);
    {
      app::QtSettingsStore store;
      saveSettings(store, s);
    }
    const ShellSettings loaded = load();
    QCOMPARE(loaded.window.state, kWindowMaximised);

    QMainWindow next;
    app::restorePlacement(next, loaded.window);
    next.show();
    QVERIFY(QTest::qWaitForWindowExposed(&next));
    QTRY_VERIFY(next.isMaximized());
    QCOMPARE(next.normalGeometry(), QRect(120, 80, 700, 500));
  }

  void aWindowOffEveryScreenComesBack() {
    WindowPlacement far;
    far.left = 50000;
    far.top = 50000;
    far.width = 700;
    far.height = 500;
    QMainWindow window;
    app::restorePlacement(window, far);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(screen.contains(window.geometry().topLeft()));
    QCOMPARE(window.geometry().size(), QSize(700, 500));
  }

  // A FIFO in the file's place is never opened (the read would wait for a
  // writer for ever): the values live in memory and the write says why not.
  void aFifoAtThePathIsNeverOpened() {
    QDir().mkpath(configHome_ + "/Morvane-soft");
    QCOMPARE(::mkfifo(QFile::encodeName(iniPath()).constData(), 0600), 0);
    app::QtSettingsStore store;
    QCOMPARE(store.obstacle(), QStringLiteral("a FIFO"));
    ShellSettings loaded;
    QVERIFY(!loadSettings(store, loaded));
    saveSettings(store, testing::everythingChanged());
    QCOMPARE(store.readInt(kSharedGroup, "portnum"), std::optional<std::int32_t>(9));
    QVERIFY(!store.sync());
    QCOMPARE(store.failure(), QStringLiteral("it is a FIFO"));
    QFile::remove(iniPath());
  }

  void aPortAssignmentIsKeptAndCanBeUndone() {
    ShellSettings s;
    s.portDevices[2] = "/dev/pts/7";
    {
      app::QtSettingsStore store;
      saveSettings(store, s);
    }
    ShellSettings loaded = load();
    QCOMPARE(loaded.deviceForPort(2), std::string("/dev/pts/7"));
    QCOMPARE(loaded.deviceForPort(3), std::string("/dev/ttyS2"));
    loaded.portDevices.erase(2);
    {
      app::QtSettingsStore store;
      saveSettings(store, loaded);
    }
    QCOMPARE(load().deviceForPort(2), std::string("/dev/ttyS1"));
  }
};

int main(int argc, char** argv) {
  // QSettings finds its folder once per process: point it at a throw-away
  // one before anything asks.
  QTemporaryDir home;
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
  QApplication app(argc, argv);
  SettingsStoreTest test(home.path());
  return QTest::qExec(&test, argc, argv);
}

#include "settings_store_test.moc"
