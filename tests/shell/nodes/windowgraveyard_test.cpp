#include "tests/support/nodefakes.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

using namespace nodetest;

namespace {

class Graveyard : public NodesFixture {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            new QCoreApplication(argc, argv);
    }
};

TEST_F(Graveyard, AWindowWhoseMemberRunsOutlivesItsRecord)
{
    add(nodeId(0x10, 1), 0x10);
    {
        shell::NodeWindow::MemberScope running(*window(0));
        shell::Remove_transducer(nodeId(0x10, 1));
        EXPECT_EQ(shell::collectDeferred(), 0);
        EXPECT_EQ(factory.counters.destroyed, 0);
    }
    EXPECT_EQ(shell::collectDeferred(), 1);
    EXPECT_EQ(factory.counters.destroyed, 1);
}

TEST_F(Graveyard, NothingIsDestroyedInsideAModalLoopOrAScanStep)
{
    add(nodeId(0x10, 1), 0x10);
    shell::Remove_transducer(nodeId(0x10, 1));
    // The program's own loop, and a modal one inside it.
    int inModal = -1;
    QEventLoop main;
    QTimer::singleShot(0, [&] {
        QEventLoop modal;
        QTimer::singleShot(0, [&] {
            inModal = shell::collectDeferred();
            modal.quit();
        });
        modal.exec();
        main.quit();
    });
    main.exec();
    EXPECT_EQ(inModal, 0);

    // A bus step that finds nothing still runs inside the scan.
    struct CollectingBus final : shell::ScanBus {
        shell::SearchStep findNext() override
        {
            collected = shell::collectDeferred();
            return {};
        }
        std::optional<shell::TemperatureReading> readTemperature(int) override { return std::nullopt; }
        int collected = -1;
    } collecting;
    shell::setScanBus(&collecting);
    bool more = true;
    shell::Doscan(more);
    EXPECT_EQ(collecting.collected, 0);
    EXPECT_EQ(shell::collectDeferred(), 1);
}

TEST_F(Graveyard, WithAQtApplicationTheCollectionIsPostedByItself)
{
    shell::setCollectScheduler(nullptr);
    add(nodeId(0x10, 1), 0x10);
    shell::Remove_transducer(nodeId(0x10, 1));
    EXPECT_EQ(factory.counters.destroyed, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(factory.counters.destroyed, 1);
}

} // namespace
