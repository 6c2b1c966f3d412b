// Shared pieces of the control tests: a control on the virtual drives in a
// private registry, a subscriber that records the events it gets, an
// encoder stand-in, and a scripted message box.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "control/class_ids.h"
#include "control/module_lock.h"
#include "control/vyn_cd_ripper.h"
#include "platform/com/error_info.h"
#include "platform/win/message_box.h"
#include "platform/win/registry_store.h"
#include "tests/platform/com/dispatch_stub.h"
#include "tests/platform/win/registry_test_env.h"
#include "virtual/virtual_control.h"

namespace vyn::testing {

struct ReceivedEvent {
  std::string subscriber;
  DISPID dispid = 0;
  VARTYPE type = VT_EMPTY;  // of the one argument, VT_EMPTY without one
  LONG value = 0;
  std::u16string text;
  bool null_text = false;
  bool operator==(const ReceivedEvent&) const = default;
};

// Records every Invoke into a log shared by all subscribers of a test.
// Home thread: the host's, where events are raised.
class RecordingSink final : public DispatchStub<RecordingSink, IDispatch> {
 public:
  RecordingSink(std::string name, std::vector<ReceivedEvent>* log, HRESULT answer = S_OK)
      : name_(std::move(name)), log_(log), answer_(answer) {}

  HRESULT Invoke(DISPID dispid,
                 REFIID,
                 LCID,
                 WORD flags,
                 DISPPARAMS* params,
                 VARIANT*,
                 EXCEPINFO*,
                 UINT*) override {
    EXPECT_EQ(flags, DISPATCH_METHOD);
    ReceivedEvent event;
    event.subscriber = name_;
    event.dispid = dispid;
    if (params && params->cArgs == 1) {
      const VARIANT& argument = params->rgvarg[0];
      event.type = argument.vt;
      if (argument.vt == VT_I4)
        event.value = argument.lVal;
      if (argument.vt == VT_BSTR) {
        event.null_text = argument.bstrVal == nullptr;
        event.text = Bstr::Adopt(SysAllocString(argument.bstrVal)).Str();
      }
    }
    log_->push_back(event);
    return answer_;
  }

 protected:
  ~RecordingSink() override = default;

 private:
  std::string name_;
  std::vector<ReceivedEvent>* log_;
  HRESULT answer_;
};

class FakeEncoder final : public DispatchStub<FakeEncoder, IVynAudioEncoder> {
 protected:
  ~FakeEncoder() override = default;
};

// Answers every box from a script and records what was asked.
// Thread-safe.
class ScriptedMessageBox final : public MessageBoxProvider {
 public:
  explicit ScriptedMessageBox(int answer) : answer_(answer) {}
  int Show(const MessageBoxRequest& request) override {
    std::lock_guard lock(mutex_);
    asked_.push_back(request);
    return answer_;
  }
  std::vector<MessageBoxRequest> asked() const {
    std::lock_guard lock(mutex_);
    return asked_;
  }

 private:
  const int answer_;
  mutable std::mutex mutex_;
  std::vector<MessageBoxRequest> asked_;  // guarded by mutex_
};

// Each test runs in its own registry holding the control's ProgID, and
// ends by checking that no COM object and no module lock is left.
class ControlTest : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    RegistryStore store(store_path_);
    std::string key = "CLSID\\" + CLSID_VynCDRipper.ToString() + "\\ProgID";
    ASSERT_TRUE(store.CreateKey(key).ok());
    ASSERT_TRUE(store.SetString(key, "", "Nuvex.CDRipper.1").ok());
    live_before_ = LiveComObjectCount();
    locks_before_ = ModuleLockCount();
  }
  void TearDown() override {
    EXPECT_EQ(LiveComObjectCount(), live_before_) << "a COM object leaked";
    EXPECT_EQ(ModuleLockCount(), locks_before_) << "a module lock leaked";
    SetMessageBoxProvider(nullptr);
    RegistryTest::TearDown();
  }

  // A control on the virtual drives described by `drives`.
  HRESULT CreateControl(const std::string& drives, ComPtr<IVynCDRipper>* out) {
    EXPECT_EQ(VynVirtualConfigure(drives.c_str()), 0);
    ControlOptions options;
    options.transport.library_name = VYN_VIRTUAL_LIBRARY;
    return CreateVynCDRipper(nullptr, IVynCDRipper::kIid, out->ReceiveVoid(), options);
  }
  ComPtr<IVynCDRipper> MakeControl(const std::string& drives = "synthetic:a4500,a750") {
    ComPtr<IVynCDRipper> control;
    EXPECT_EQ(CreateControl(drives, &control), S_OK);
    return control;
  }
  static VynCDRipper& Internals(const ComPtr<IVynCDRipper>& control) {
    return *static_cast<VynCDRipper*>(control.Get());
  }

  long live_before_ = 0;
  long locks_before_ = 0;
};

}  // namespace vyn::testing
