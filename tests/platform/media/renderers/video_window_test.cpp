// The video renderer's IVideoWindow: the owner's widget takes the window as
// its child, position and visibility reach the widget, the other settings
// are kept, and handles that are null or whose widget is gone do no harm.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <memory>

#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "platform/media/control.h"
#include "platform/media/strmif.h"
#include "platform/media/renderers/window_handle.h"
#include "platform/media/uuids.h"

namespace {

class VideoWindowTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CoCreateInstance(CLSID_VideoRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                   filter.GetVoidAddress()),
                  S_OK);
        ASSERT_EQ(filter.As(&window), S_OK);
        owner.resize(300, 200);
        owner.show();
    }

    // The window's widget while it is a child of the owner, else null.
    QWidget* Child() const {
        const QList<QWidget*> children = owner.findChildren<QWidget*>();
        return children.size() == 1 ? children.front() : nullptr;
    }

    int argc = 1;
    char name[8] = "test";
    char* argv[1] = {name};
    QApplication application{argc, argv};
    QWidget owner;
    ComPtr<IBaseFilter> filter;
    ComPtr<IVideoWindow> window;
};

TEST_F(VideoWindowTest, OwnerPositionAndVisibilityReachTheWidget) {
    ASSERT_EQ(window->put_Owner(OaHwndFromWidget(&owner)), S_OK);
    QWidget* child = Child();
    ASSERT_NE(child, nullptr);
    OAHWND handle = 0;
    EXPECT_EQ(window->get_Owner(&handle), S_OK);
    EXPECT_EQ(WidgetFromOaHwnd(handle), &owner);

    EXPECT_EQ(window->SetWindowPosition(10, 20, 64, 48), S_OK);
    EXPECT_EQ(child->geometry(), QRect(10, 20, 64, 48));
    LONG left = 0, top = 0, width = 0, height = 0;
    EXPECT_EQ(window->GetWindowPosition(&left, &top, &width, &height), S_OK);
    EXPECT_EQ(QRect(left, top, width, height), QRect(10, 20, 64, 48));
    EXPECT_EQ(window->SetWindowPosition(0, 0, -1, 10), E_INVALIDARG);

    EXPECT_FALSE(child->isVisible());
    EXPECT_EQ(window->put_Visible(OATRUE), S_OK);
    EXPECT_TRUE(child->isVisible());
    LONG visible = OAFALSE;
    EXPECT_EQ(window->get_Visible(&visible), S_OK);
    EXPECT_EQ(visible, OATRUE);
    EXPECT_EQ(window->put_Visible(OAFALSE), S_OK);
    EXPECT_FALSE(child->isVisible());

    // Handing the window back (owner null) takes it out of the owner.
    EXPECT_EQ(window->put_Owner(0), S_OK);
    EXPECT_EQ(Child(), nullptr);
}

TEST_F(VideoWindowTest, MovesToANewOwnerKeepingItsPlaceAndVisibility) {
    QWidget popup;
    popup.show();
    ASSERT_EQ(window->put_Owner(OaHwndFromWidget(&owner)), S_OK);
    ASSERT_EQ(window->SetWindowPosition(4, 4, 32, 24), S_OK);
    ASSERT_EQ(window->put_Visible(OATRUE), S_OK);
    ASSERT_EQ(window->put_Owner(OaHwndFromWidget(&popup)), S_OK);
    EXPECT_EQ(Child(), nullptr);
    const QList<QWidget*> inPopup = popup.findChildren<QWidget*>();
    ASSERT_EQ(inPopup.size(), 1);
    EXPECT_TRUE(inPopup.front()->isVisible());
    EXPECT_EQ(inPopup.front()->geometry(), QRect(4, 4, 32, 24));
}

TEST_F(VideoWindowTest, HandlesThatNameNoLiveWidgetAreHarmless) {
    auto gone = std::make_unique<QWidget>();
    const OAHWND stale = OaHwndFromWidget(gone.get());
    gone.reset();
    EXPECT_EQ(WidgetFromOaHwnd(stale), nullptr);
    EXPECT_EQ(WidgetFromOaHwnd(0), nullptr);
    EXPECT_EQ(window->put_Owner(stale), S_OK);
    EXPECT_EQ(window->put_Visible(OATRUE), S_OK);
    EXPECT_EQ(window->put_MessageDrain(stale), S_OK);
}

TEST_F(VideoWindowTest, SurvivesItsOwnerBeingDestroyed) {
    auto shortLived = std::make_unique<QWidget>();
    ASSERT_EQ(window->put_Owner(OaHwndFromWidget(shortLived.get())), S_OK);
    ASSERT_EQ(window->put_Visible(OATRUE), S_OK);
    shortLived.reset();  // deletes the window's widget with it
    EXPECT_EQ(window->put_Owner(OaHwndFromWidget(&owner)), S_OK);
    QWidget* child = Child();
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(child->isVisible());
}

TEST_F(VideoWindowTest, AutoShowShowsTheWindowWhenStreamingStarts) {
    ASSERT_EQ(window->put_Owner(OaHwndFromWidget(&owner)), S_OK);
    LONG autoShow = OAFALSE;
    EXPECT_EQ(window->get_AutoShow(&autoShow), S_OK);
    EXPECT_EQ(autoShow, OATRUE);
    ASSERT_EQ(filter->Pause(), S_OK);
    EXPECT_TRUE(Child()->isVisible());
    ASSERT_EQ(filter->Stop(), S_OK);

    ASSERT_EQ(window->put_Visible(OAFALSE), S_OK);
    ASSERT_EQ(window->put_AutoShow(OAFALSE), S_OK);
    EXPECT_EQ(window->get_AutoShow(&autoShow), S_OK);
    EXPECT_EQ(autoShow, OAFALSE);
    ASSERT_EQ(filter->Pause(), S_OK);
    EXPECT_FALSE(Child()->isVisible());
    ASSERT_EQ(filter->Stop(), S_OK);
}

// The list window handles presses on the video itself (to enlarge it), so
// the video window lets them through to its owner.
TEST_F(VideoWindowTest, PressesOnTheVideoReachTheOwnerBeneath) {
    struct PressCounter : QWidget {
        int presses = 0;
        void mousePressEvent(QMouseEvent*) override { ++presses; }
    } list;
    list.resize(200, 200);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    ASSERT_EQ(window->put_Owner(OaHwndFromWidget(&list)), S_OK);
    ASSERT_EQ(window->put_MessageDrain(OaHwndFromWidget(&list)), S_OK);
    ASSERT_EQ(window->SetWindowPosition(10, 10, 100, 80), S_OK);
    ASSERT_EQ(window->put_Visible(OATRUE), S_OK);
    QTest::mouseClick(list.windowHandle(), Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(list.presses, 1);
}

TEST_F(VideoWindowTest, KeepsStyleAndDrainAndRefusesTheRest) {
    constexpr LONG kChildStyle = 0x44000000;  // child window, clipping its siblings
    EXPECT_EQ(window->put_WindowStyle(kChildStyle), S_OK);
    LONG style = 0;
    EXPECT_EQ(window->get_WindowStyle(&style), S_OK);
    EXPECT_EQ(style, kChildStyle);
    EXPECT_EQ(window->put_MessageDrain(OaHwndFromWidget(&owner)), S_OK);
    OAHWND drain = 0;
    EXPECT_EQ(window->get_MessageDrain(&drain), S_OK);
    EXPECT_EQ(drain, OaHwndFromWidget(&owner));

    EXPECT_EQ(window->get_WindowStyle(nullptr), E_POINTER);
    EXPECT_EQ(window->get_Visible(nullptr), E_POINTER);
    EXPECT_EQ(window->put_FullScreenMode(OATRUE), E_NOTIMPL);
    EXPECT_EQ(window->put_Left(0), E_NOTIMPL);
}

}  // namespace
