// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Zefirina developers
#include "panels/form2.h"
#include "panels/form3.h"
#include "ticker/form1.h"
#include "widgets/clicklabel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

// The bar of an installed tree without the chart package: run from the bin/ folder of a
// copy of that tree (tests/install/without-chart makes it), so that the plugin is looked
// for where the installed program looks for it.
class TestChartAbsent : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        const QDir tree(QCoreApplication::applicationDirPath() + u"/.."_s);
        QVERIFY2(QFile::exists(tree.filePath(u"lib/zefirina/zefirina-service"_s)),
                 "not in an installed tree: run through tests/install/without-chart");
        QVERIFY2(!tree.exists(u"lib/zefirina/plugins"_s), "the installed tree still has the chart plugin");
    }

    // The plugins folder gone, as removing the package leaves it (a plugin file that is no
    // plugin fails to load the same way).
    void headingClickNamesTheMissingPackage() {
        const QString nowhere = u"127.0.0.1:1"_s;
        Form1 bar(ServiceHosts{nowhere, nowhere, nowhere, nowhere, nowhere, nowhere});
        bar.show();
        bar.Label1_Click(5); // the futures slot
        QCOMPARE(bar.panel->heading(), u" Indice futures Nasdaq 100"_s);
        QTRY_VERIFY(bar.panel->Label8->isVisible());

        QTest::mouseClick(bar.panel->Label8, Qt::LeftButton);
        QCOMPARE(bar.panel->body(), u"Per il grafico occorre installare il pacchetto zefirina-chart."_s);
        QCOMPARE(bar.panel->chartWindow()->window(), nullptr);
        QVERIFY(bar.panel->isVisible());
        // A second click tries again, and fails the same way.
        QTest::mouseClick(bar.panel->Label8, Qt::LeftButton);
        QCOMPARE(bar.panel->body(), u"Per il grafico occorre installare il pacchetto zefirina-chart."_s);
        QVERIFY(bar.isVisible());
    }
};

QTEST_MAIN(TestChartAbsent)
#include "tst_chartabsent.moc"
