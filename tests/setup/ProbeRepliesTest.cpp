// How probing judges what a port answers: unknown hardware, unsupported models, echo switched off,
// error results, endless text, and the "Connect" button's choices that start no detection.
#include "DetectionRig.h"
#include "ScriptedPort.h"
#include "endpoints/TarvexAT.h"
#include "endpoints/VelmoraAT.h"
#include "support/QtPrinters.h"

using namespace orvia;
using namespace orvia::test;

namespace {

// A handset of the maker's family that names itself `ident` and answers the model query with `model`.
std::function<QString(int, const QString &)> handset(const QString &ident, const QString &model)
{
    return [=](int, const QString &line) -> QString {
        if (line == QLatin1String("ATZ"))
            return okReply(line);
        if (line == QLatin1String("ATZI"))
            return okReply(line, {ident});
        if (line == QLatin1String("AT+GMM") || line == QLatin1String("AT+CGMM"))
            return okReply(line, {model});
        if (line == QLatin1String("AT+CPBS?"))
            return okReply(line, {QStringLiteral("+CPBS: \"SM\",0,250")});
        return okReply(line);
    };
}

struct Probe : DetectionRig
{
    ScriptedPort port;
    void SetUp() override
    {
        DetectionRig::SetUp();
        listPorts({1, 2});
        build(&port);
        start();
    }
    void run()
    {
        det->Connect(ComPort::allPorts());
        port.deliverAll();
    }
};

TEST_F(Probe, AnswersWithoutTheMakersMarksAreUnknownHardware)
{
    const std::function<QString(int, const QString &)> answers[] = {
        handset(QStringLiteral("ACME modem 33600"), QStringLiteral("X")),
        // Echo switched off: the identification is not recognised as the answer to ATZI.
        [](int, const QString &line) -> QString {
            return line == QLatin1String("ATZI") ? QStringLiteral("\r\nVelmora K110 GSM\r\n\r\nOK\r\n")
                                                 : QStringLiteral("\r\nOK\r\n");
        }};
    for (const auto &answer : answers) {
        boxes = ScriptedMessageBox();
        port.lines.clear();
        port.answer = answer;
        QString statusAtBox;
        boxes.setOnShow([&](const ScriptedMessageBox::Shown &) { statusAtBox = page.status; });
        run();
        EXPECT_EQ(statusAtBox, QStringLiteral("Detecting phone...\r\nUnknown hardware on com1\r\n"
                                              "Unknown hardware on com2\r\n"));
        ASSERT_EQ(boxes.count(), 1);
        EXPECT_TRUE(boxes.last().text.startsWith(QStringLiteral("No phone found.")));
        EXPECT_EQ(page.status, statusAtBox) << "the ports tried stay listed";
        EXPECT_FALSE(port.lines.contains(QStringLiteral("COM1:AT+GMM")));
        EXPECT_FALSE(port.portOpen());
        EXPECT_EQ(driver(), nullptr);
    }
}

TEST_F(Probe, ModelCodesPickTheDriverAndUnknownModelsAreNamed)
{
    struct Case
    {
        const char *ident, *model;
        int driver; // 0 none, 1 maker's, 2 second family
    };
    for (const Case &c : {Case{"Velmora X GSM", "Velmora K310", 1}, Case{"GSM 9600", "Tarvex Mobile", 2},
                          Case{"Velmora", "K310 Tarvex", 1}, Case{"Velmora", "Velmora D240", 1},
                          Case{"Velmora", "Velmora Z999", 0}, Case{"9600", "tarvex mobile", 0}}) {
        SCOPED_TRACE(c.model);
        boxes.clear();
        settings = MemorySettingsStore();
        fm->dropHandler();
        port.answer = handset(QString::fromLatin1(c.ident), QString::fromLatin1(c.model));
        page.setPortButtonChecked(1, true);
        det->clickConnect();
        port.deliverAll();
        IPhoneDriver *d = driver();
        EXPECT_EQ(d != nullptr && dynamic_cast<VelmoraAT *>(d) != nullptr, c.driver == 1);
        EXPECT_EQ(d != nullptr && dynamic_cast<TarvexAT *>(d) != nullptr, c.driver == 2);
        if (c.driver == 0) {
            ASSERT_EQ(boxes.count(), 1);
            EXPECT_EQ(boxes.last().text,
                      QStringLiteral("Found unsupported phone :") + QLatin1String(c.model));
            EXPECT_EQ(saved("port"), QString()) << "nothing saved without success";
        } else {
            EXPECT_TRUE(d->automares());
        }
        EXPECT_TRUE(page.connect);
    }
}

TEST_F(Probe, UnsupportedModelIsShownInTheStatusAndTheScanGoesOn)
{
    port.answer = [](int p, const QString &line) {
        return handset(QStringLiteral("Velmora"),
                       p == 1 ? QStringLiteral("Velmora Z999") : QStringLiteral("Velmora K110"))(p, line);
    };
    run();
    ASSERT_NE(driver(), nullptr);
    EXPECT_EQ(
        page.status,
        QStringLiteral(
            "Detecting phone...\r\nFound unsupported phone :Velmora Z999Detected K110 family on COM 2"));
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(Probe, ReplyInPiecesIsAssembledAndEachPieceRestartsTheTimeOut)
{
    port.answer = nullptr; // the test plays the far end by hand
    page.setPortButtonChecked(2, true);
    det->clickConnect();
    // ATZ's reply arrives in three pieces, 1.5 s apart: each piece gives the port another 2 s.
    port.inject(QStringLiteral("ATZ\r"));
    time.advance(1500);
    port.inject(QStringLiteral("\r\n"));
    time.advance(1500);
    EXPECT_EQ(page.status, QStringLiteral("Connecting phone on com 2\r\n")) << "still waiting";
    EXPECT_EQ(port.lines, QStringList{QStringLiteral("COM2:ATZ")});
    port.inject(QStringLiteral("OK\r\n"));
    EXPECT_EQ(port.lines, (QStringList{QStringLiteral("COM2:ATZ"), QStringLiteral("COM2:ATZ")}));
    EXPECT_TRUE(det->timerArmed());
}

TEST_F(Probe, TextThePortSendsAsItOpensIsNoAnswer)
{
    // A handset that greets the opened port: only what follows a probe can answer it.
    port.answer = handset(QStringLiteral("Velmora K110 GSM"), QStringLiteral("Velmora K110"));
    bool greeted = false;
    time.setOnYield([&] {
        if (port.portOpen() && port.lines.isEmpty() && !std::exchange(greeted, true))
            port.inject(QStringLiteral("\r\nOK\r\n"));
    });
    run();
    time.setOnYield({});
    ASSERT_TRUE(greeted);
    EXPECT_EQ(port.lines.mid(0, 4),
              (QStringList{QStringLiteral("COM1:ATZ"), QStringLiteral("COM1:ATZ"),
                           QStringLiteral("COM1:ATZI"), QStringLiteral("COM1:AT+GMM")}));
    EXPECT_EQ(boxes.count(), 0);
    EXPECT_EQ(saved("port"), QStringLiteral("Com 1"));
}

TEST_F(Probe, ErrorWithAReasonCountsAsAnError)
{
    port.answer = [](int p, const QString &line) -> QString {
        if (p == 1 && line == QLatin1String("ATZI"))
            return line + QStringLiteral("\r\r\n+CME ERROR: 4\r\n");
        return handset(QStringLiteral("Velmora K110 GSM"), QStringLiteral("Velmora K110"))(p, line);
    };
    run();
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Protocol error!"));
    EXPECT_NE(driver(), nullptr);
}

TEST_F(Probe, EndlessTextIsGivenUpNotWaitedOn)
{
    port.answer = nullptr;
    page.setPortButtonChecked(1, true);
    det->clickConnect();
    for (int i = 0; i < 200 && det->state() != PhoneDetection::State::Idle; ++i) {
        port.inject(QString(64, QLatin1Char('~')) + QStringLiteral("\r\n"));
        time.advance(100);
    }
    EXPECT_EQ(det->state(), PhoneDetection::State::Idle);
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_TRUE(boxes.last().text.startsWith(QStringLiteral("No phone found.")));
    EXPECT_FALSE(det->timerArmed());
}

TEST_F(Probe, ConnectButtonStaysUsableWhenNoDetectionStarts)
{
    // No button chosen.
    det->clickConnect();
    EXPECT_TRUE(page.connect);
    EXPECT_EQ(port.lines, QStringList());

    // The chosen port no longer opens.
    page.setPortButtonChecked(2, true);
    port.absent = {2};
    det->clickConnect();
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(
        boxes.last().text,
        QStringLiteral("The serial port Com2 is in use by another program.\r\nPlease select another port."));
    EXPECT_TRUE(page.connect);
}

TEST_F(Probe, HigherPortButtonsAreHonoured)
{
    registry.clearKeys();
    listPorts({1, 2, 3, 4, 5, 6});
    page = FakePage();
    det->enumeratePorts();
    port.answer = handset(QStringLiteral("Velmora K110 GSM"), QStringLiteral("Velmora K110"));
    page.setPortButtonChecked(6, true);
    det->clickConnect();
    port.deliverAll();
    ASSERT_NE(driver(), nullptr);
    EXPECT_EQ(saved("port"), QStringLiteral("Com 6"));
}

TEST_F(Probe, NewDetectionDuringTheProtocolBoxWins)
{
    port.answer = [](int p, const QString &line) -> QString {
        if (p == 1 && line == QLatin1String("ATZ"))
            return QStringLiteral("ATZ\r\r\nERROR\r\n");
        return handset(QStringLiteral("Velmora K110 GSM"), QStringLiteral("Velmora K110"))(p, line);
    };
    bool once = true;
    boxes.setOnShow([&](const ScriptedMessageBox::Shown &) {
        if (std::exchange(once, false)) {
            det->Connect(ComPort(2)); // the user connects port 2 while the box is open
            port.deliverAll();
        }
    });
    page.setPortButtonChecked(1, true);
    det->clickConnect();
    port.deliverAll();
    ASSERT_NE(driver(), nullptr);
    EXPECT_EQ(saved("port"), QStringLiteral("Com 2"));
    EXPECT_EQ(port.lines.count(QStringLiteral("COM2:ATZ")), 2)
        << "port 2 was probed once, by the user's choice";
}

} // namespace
