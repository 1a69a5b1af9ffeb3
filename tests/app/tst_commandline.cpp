// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "datafile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString Entry = u"config/autostart/it.ventoria.zefirina.desktop"_s;
const QString Refusal = u" (zefirina --help elenca le opzioni)\n"_s;
} // namespace

// Options that print or change something and end work without a display: with none
// here, a program that went on to open its window would end in an abort, not in its
// exit code.
class TestCommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void endsWithoutADisplay_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("entryBefore");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output"); // %1: the login entry's path
        QTest::addColumn<QString>("error");
        QTest::addColumn<bool>("entryAfter");

        const QString usage = u"Uso: zefirina [--autostart on|off]\n"_s;
        QTest::newRow("--help") << QStringList{u"--help"_s} << false << 0 << usage << u""_s << false;
        QTest::newRow("--version") << QStringList{u"--version"_s} << false << 0 << u"zefirina 1.0\n"_s << u""_s
                                   << false;
        QTest::newRow("on") << QStringList{u"--autostart"_s, u"on"_s} << false << 0
                            << u"Zefirina partirà all'accesso: %1\n"_s << u""_s << true;
        QTest::newRow("on again") << QStringList{u"--autostart=on"_s} << true << 0
                                  << u"Zefirina partirà all'accesso: %1\n"_s << u""_s << true;
        QTest::newRow("off") << QStringList{u"--autostart"_s, u"off"_s} << true << 0
                             << u"Zefirina non partirà all'accesso (%1 non c'è)\n"_s << u""_s << false;
        QTest::newRow("off, no entry") << QStringList{u"--autostart"_s, u"off"_s} << false << 0
                                       << u"Zefirina non partirà all'accesso (%1 non c'è)\n"_s << u""_s << false;
        QTest::newRow("bad value") << QStringList{u"--autostart"_s, u"sì"_s} << true << 2 << u""_s
                                   << u"zefirina: --autostart vuole on oppure off, non sì"_s << true;
        QTest::newRow("no value") << QStringList{u"--autostart"_s} << false << 2 << u""_s
                                  << u"zefirina: opzione senza valore: --autostart"_s << false;
        QTest::newRow("unknown option") << QStringList{u"--feed"_s, u"x.xml"_s} << false << 2 << u""_s
                                        << u"zefirina: opzione sconosciuta: --feed"_s << false;
        QTest::newRow("argument") << QStringList{u"notizie.xml"_s} << false << 2 << u""_s
                                  << u"zefirina: argomento non previsto: notizie.xml"_s << false;
        QTest::newRow("two at once") << QStringList{u"--version"_s, u"--autostart"_s, u"on"_s} << false << 2 << u""_s
                                     << u"zefirina: una sola tra --help, --version e --autostart"_s << false;
    }
    void endsWithoutADisplay() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, entryBefore);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QFETCH(QString, error);
        QFETCH(bool, entryAfter);

        QTemporaryDir home;
        const QString entry = home.filePath(Entry);
        if (entryBefore) {
            QVERIFY(QDir().mkpath(QFileInfo(entry).absolutePath()));
            QFile old(entry);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("[Desktop Entry]\nExec=old\n");
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(display));
        environment.insert(u"HOME"_s, home.path());
        environment.insert(u"XDG_CONFIG_HOME"_s, home.filePath(u"config"_s));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(PROGRAM), arguments);
        QVERIFY(program.waitForFinished(30000));

        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), exitCode);
        const QString printed = QString::fromUtf8(program.readAllStandardOutput());
        if (output == u"Uso: zefirina [--autostart on|off]\n"_s)
            QVERIFY2(printed.startsWith(output), qPrintable(printed));
        else
            QCOMPARE(printed, output.contains(u"%1"_s) ? output.arg(entry) : output);
        QCOMPARE(QString::fromUtf8(program.readAllStandardError()), error.isEmpty() ? error : error + Refusal);
        QCOMPARE(QFileInfo::exists(entry), entryAfter);
        if (entryAfter && exitCode == 0) {
            QFile written(entry);
            QVERIFY(written.open(QIODevice::ReadOnly));
            QCOMPARE(QString::fromUtf8(written.readAll()),
                     QString::fromUtf8(dataFile("autostart.desktop"))
                         .arg(QFileInfo(QStringLiteral(PROGRAM)).canonicalFilePath()));
        }
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
