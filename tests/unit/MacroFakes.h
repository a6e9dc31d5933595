#pragma once

// Stand-ins for the macro page and the hook plugin, which are not part of the core. The page keeps
// what a real page would show, so tests read the screen rather than a list of calls.

#include <functional>
#include <string>
#include <vector>

#include "macro/MacroPageView.h"
#include "platform/HookLibrary.h"
#include "platform/TraceSink.h"

namespace veltrix::test {

class FakeMacroPage final : public MacroPageView {
  public:
    struct Row {
        std::string key;
        KeyPicture picture;
        std::string action;
        int delay;
    };

    void ShowMacroName(std::u16string_view name) override { macroName = name; }
    void ShowActionRows(std::span<const ActionRow> shown) override {
        rows.clear();
        for (const ActionRow& row : shown) {
            rows.push_back(RowOf(row));
        }
        selectedRow = -1;
    }
    void SelectActionRow(int row) override { selectedRow = row; }
    void RemoveActionRow(int row) override {
        rows.erase(rows.begin() + row);
        selectedRow = -1;
    }
    void UpdateActionRow(int row, const ActionRow& content) override {
        rows.at(static_cast<std::size_t>(row)) = RowOf(content);
    }
    void ShowActionRowKey(int row, std::string_view keyTextId) override {
        rows.at(static_cast<std::size_t>(row)).key = keyTextId;
    }
    void ShowActionRowDelay(int row, std::uint16_t delay) override {
        rows.at(static_cast<std::size_t>(row)).delay = delay;
    }
    void ShowActionEditor(const ActionEditorState& state) override { editor = state; }
    void ShowEditedKey(std::string_view keyTextId) override { editedKey = keyTextId; }
    void ShowMouseActionDelay(std::uint16_t delay) override {
        mouseDelayText = std::to_string(delay);
    }
    void UncheckActionEditBox() override {}
    void ShowUnsavedState(bool shown) override { unsaved = shown; }
    std::string DefaultDelayText() const override { return defaultDelayText; }
    void ShowRecordButtonText(std::string_view textId) override { recordButtonText = textId; }
    void UncheckRecordButton() override { recordButtonChecked = false; }
    void CreateMacro() override { createMacro(); }

    std::vector<std::string> Keys() const { return Column(&Row::key); }
    std::vector<int> Delays() const { return Column(&Row::delay); }

    std::u16string macroName;
    std::vector<Row> rows;
    int selectedRow = -1;
    ActionEditorState editor;
    std::string editedKey, mouseDelayText, recordButtonText;
    bool unsaved = false;
    bool recordButtonChecked = false;
    std::string defaultDelayText = "10";
    std::function<void()> createMacro = [] {};

  private:
    static Row RowOf(const ActionRow& row) {
        return {std::string(row.keyTextId), row.keyPicture, std::string(row.actionTextId),
                row.wShownDelay};
    }
    template <typename T>
    std::vector<T> Column(T Row::*field) const {
        std::vector<T> column;
        for (const Row& row : rows) {
            column.push_back(row.*field);
        }
        return column;
    }
};

// Logs each call as "name" or "name(argument)"; an install also notes the window it was given.
class RecordingHooks final : public HookLibrary {
  public:
    void installmousehook(const VeltrixWindowHandle& window) override {
        Install("installmousehook", window);
    }
    void removemousehook() override { calls.push_back("removemousehook"); }
    void enablemousehook(std::int32_t on) override { Call("enablemousehook", on); }
    void installhook(const VeltrixWindowHandle& window) override { Install("installhook", window); }
    void removehook() override { calls.push_back("removehook"); }
    void enablehook(std::int32_t on) override { Call("enablehook", on); }
    void mousewheelenable(std::int32_t on) override { Call("mousewheelenable", on); }

    std::vector<std::string> calls;
    std::vector<void*> windows;

  private:
    void Call(const char* name, std::int32_t value) {
        calls.push_back(std::string(name) + "(" + std::to_string(value) + ")");
    }
    void Install(const char* name, const VeltrixWindowHandle& window) {
        calls.push_back(name);
        windows.push_back(window.context);
    }
};

class RecordingTrace final : public TraceSink {
  public:
    void Trace(std::string_view text) override { lines.emplace_back(text); }
    std::vector<std::string> lines;
};

}  // namespace veltrix::test
