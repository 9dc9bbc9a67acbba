#include <QApplication>

#include <gtest/gtest.h>

namespace {

// A test whose program ended, by Draw or by an error report, has told the
// application to leave its event loop, and from then on Qt would end every
// modal window's loop at once. Each test starts with an application that
// runs loops again: one turn of its own loop, left by a queued quit, clears
// that.
class FreshEventLoop final : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        QApplication::exec();
    }
};

}  // namespace

int main(int argc, char** argv)
{
    // Widget tests need no X server: Qt draws them off screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshEventLoop);
    return RUN_ALL_TESTS();
}
