// Shared by the control tests: the real SQLite settings store in a temporary folder, and a
// recording stand-in for a field panel's widget.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "controls/afpanel.h"
#include "host/registry.h"
#include "host/sqliteregistrystore.h"

namespace lm::test {

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() /
                ("lmpack-controls-" + std::to_string(getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        store = std::make_unique<TSqliteRegistryStore>((m_dir / "registry.db").string());
    }
    void TearDown() override
    {
        store.reset();
        std::filesystem::remove_all(m_dir);
    }
    bool keyExists(const std::string& key) { return TRegistry(store.get()).KeyExists(key); }
    std::vector<std::string> valueNames(const std::string& key)
    {
        TRegistry reg(store.get());
        std::vector<std::string> names;
        if (reg.OpenKey(key, false))
            reg.GetValueNames(names);
        return names;
    }

    std::unique_ptr<TSqliteRegistryStore> store;

private:
    std::filesystem::path m_dir;
};

// Records what the panel asks of its widget; the tab list is a plain list of names.
struct FakePanelView : IAFPanelView {
    std::vector<std::string>* tabs = nullptr;
    std::vector<std::string> dialogResult;  // the order the "dialog" leaves
    bool enabled = true, visible = true, tabStop = true, customizing = false;
    int boundsChanges = 0;
    std::string caption;

    void BoundsChanged() override { ++boundsChanges; }
    void StateApplied(bool e, bool v, bool t) override { enabled = e, visible = v, tabStop = t; }
    void CustomChanged(bool c) override { customizing = c; }
    std::string DefCaption() const override { return caption; }
    std::vector<std::string> TabList() const override { return tabs ? *tabs : std::vector<std::string>{}; }
    void ApplyTabOrder(const std::vector<std::string>& names) override { *tabs = names; }
    bool ExecTabOrderDialog() override
    {
        if (!dialogResult.empty())
            *tabs = dialogResult;
        return true;
    }
};

} // namespace lm::test
