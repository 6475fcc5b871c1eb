// "查看当前地址列表" in the program's own process: an empty address, and a window that is
// no browser, whose failure goes to the general error report instead of a report.
#include "ui/control_ids.h"
#include "ui/main_window_fixture.h"

#include "core/messages.h"
#include "platform/hresult_text.h"
#include "standin/com_object.h"

namespace nimbrel::testing {
namespace {

// A window of the collection that answers nothing but IDispatch.
class NotABrowser final : public standin::ComObject<IDispatch> {
public:
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

protected:
    void* find_interface(REFIID riid) override {
        return riid == IID_IDispatch ? static_cast<IDispatch*>(this) : nullptr;
    }
};

using OpenAddressReportTest = MainWindowTest;

const std::wstring kRule(46, L'-');

void clickButton7(TTarnwickForm1& form) {
    SendMessageW(form.control(ids::Button7), BM_CLICK, 0, 0);
}

TEST_F(OpenAddressReportTest, AWindowThatIsNoBrowserStopsTheReportWithTheErrorsText) {
    start();
    shell->addFake(L"http://first.test/");
    auto odd = standin::make_com<NotABrowser>();
    shell->collection().add(odd, nullptr);
    MessageBoxAnswerer answerer;
    clickButton7(*form);
    EXPECT_EQ(answerer.texts(), withFullStop(hresultText(E_NOINTERFACE)) + L"|");
    EXPECT_TRUE(IsWindow(form->hwnd())) << "the program goes on";
}

}  // namespace
}  // namespace nimbrel::testing
