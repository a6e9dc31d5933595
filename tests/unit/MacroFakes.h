#pragma once

// Stand-ins for the macro page and the hook plugin, which are not part of the core, and the
// fixture the macro editor tests share. The page keeps what a real page would show, so tests read
// the screen rather than a list of calls.

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "macro/MacroWorkingCopy.h"
#include "platform/HookLibrary.h"
#include "platform/TraceSink.h"
#include "platform/Utf16Text.h"

namespace veltrix::test {

inline constexpr std::uint8_t kA = 4, kB = 5, kC = 6;
inline constexpr std::uint8_t kDown = kDirectionPress, kUp = kDirectionRelease;
using Steps = std::vector<MacroAction>;
using Strings = std::vector<std::string>;

// A macro of that name and no steps.
inline MacroRecord NamedMacro(std::u16string_view name) {
    MacroRecord record{};
    SetFieldText(record.szName, name);
    return record;
}

// Rows keep the page's ActionRows as given: their text ids are views of texts that live as long as
// the program.
class FakeMacroPage final : public MacroPageView {
  public:
    void ShowMacroName(std::u16string_view name) override { macroName = name; }
    void ShowActionRows(std::span<const ActionRow> shown) override {
        rows.assign(shown.begin(), shown.end());
        selectedRow = -1;
    }
    void SelectActionRow(int row) override { selectedRow = row; }
    void RemoveActionRow(int row) override {
        rows.erase(rows.begin() + row);
        selectedRow = -1;
    }
    void UpdateActionRow(int row, const ActionRow& content) override { At(row) = content; }
    void ShowActionRowKey(int row, std::string_view key) override { At(row).keyTextId = key; }
    void ShowActionRowDelay(int row, std::uint16_t delay) override { At(row).wShownDelay = delay; }
    void ShowActionEditor(const ActionEditorState& state) override { editor = state; }
    void ShowEditedKey(std::string_view keyTextId) override { editedKey = keyTextId; }
    void ShowMouseActionDelay(std::uint16_t delay) override { mouseDelay = delay; }
    void UncheckActionEditBox() override {}
    void ShowUnsavedState(bool shown) override { unsaved = shown; }
    std::string DefaultDelayText() const override { return defaultDelayText; }
    void ShowRecordButtonText(std::string_view textId) override { recordButtonText = textId; }
    void UncheckRecordButton() override { recordButtonChecked = false; }
    void ShowRecording(bool shown) override { recording = shown; }

    // Each row's key and delay as they read on screen, "key_A 10".
    Strings Screen() const {
        Strings shown;
        for (const ActionRow& row : rows) {
            shown.push_back(std::string(row.keyTextId) + " " + std::to_string(row.wShownDelay));
        }
        return shown;
    }

    std::u16string macroName;
    std::vector<ActionRow> rows;
    int selectedRow = -1, mouseDelay = -1;
    ActionEditorState editor;
    std::string editedKey, recordButtonText, defaultDelayText = "10";
    bool unsaved = false, recordButtonChecked = false, recording = false;

  private:
    ActionRow& At(int row) { return rows.at(static_cast<std::size_t>(row)); }
};

// Logs each call as "name" or "name(argument)"; an install also notes the window it was given.
class RecordingHooks final : public HookLibrary {
  public:
    void installmousehook(const VeltrixWindowHandle& w) override { Install("installmousehook", w); }
    void removemousehook() override { calls.emplace_back("removemousehook"); }
    void enablemousehook(std::int32_t on) override { Log("enablemousehook", on); }
    void installhook(const VeltrixWindowHandle& w) override { Install("installhook", w); }
    void removehook() override { calls.emplace_back("removehook"); }
    void enablehook(std::int32_t on) override { Log("enablehook", on); }
    void mousewheelenable(std::int32_t on) override { Log("mousewheelenable", on); }

    Strings calls;
    std::vector<void*> windows;

  private:
    void Log(const char* name, std::int32_t on) {
        calls.push_back(std::string(name) + "(" + std::to_string(on) + ")");
    }
    void Install(const char* name, const VeltrixWindowHandle& window) {
        calls.emplace_back(name);
        windows.push_back(window.context);
    }
};

// The traces are for a developer's eyes only; nothing depends on them.
class NullTrace final : public TraceSink {
  public:
    void Trace(std::string_view) override {}
};

// A store, its page and the working copy of the macro being edited.
class MacroEditorTest : public ::testing::Test {
  protected:
    // Adds a macro and selects its row, which loads it; count -1 is the number of actions.
    void Edit(const Steps& actions, std::int32_t count = -1) {
        MacroRecord record{};
        SetFieldText(record.szName, u"Combo");
        std::copy(actions.begin(), actions.end(), record.aAction.begin());
        record.iActionCount = count >= 0 ? count : static_cast<std::int32_t>(actions.size());
        m_store.Append(record);
        m_editor.SelectMacro(m_store.Count() - 1);
    }
    // The user selects an action row.
    void Select(int row) {
        m_page.selectedRow = row;
        m_editor.SelectAction(row);
    }
    Steps Working() const { return {m_editor.Actions().begin(), m_editor.Actions().end()}; }

    MacroStore m_store;
    FakeMacroPage m_page;
    NullTrace m_trace;
    MacroWorkingCopy m_editor{m_store, m_page, m_trace};
};

}  // namespace veltrix::test
