#pragma once
// The builder's ten panels: eight command editors and the two file panels. They share one
// place in the panel area; the window shows at most one at a time.

#include "forms/controls.h"
#include "forms/form.h"
#include "forms/list_controls.h"

namespace qb {

// Panel size in twips; every panel but the limit panel is this wide.
inline constexpr int kPanelWidth = 4815, kPanelHeight = 3975, kLimitPanelWidth = 5415;

struct RunPanel {
  explicit RunPanel(forms::Form& form);
  forms::Frame FrameRun;
  forms::Label Hint;
  forms::TextBox Path;
  forms::Button Ok, Cancel;
};

struct LoopPanel {
  explicit LoopPanel(forms::Form& form);
  forms::Frame FrameLoop;
  forms::Label Hint;
  forms::TextBox Count;
  forms::CheckBox Infinite;
  forms::Button Ok, Cancel;
};

struct FilePanel {
  explicit FilePanel(forms::Form& form);
  forms::Frame FrameFile;
  forms::Label Hint;
  forms::TextBox Path;
  forms::Button Ok, Cancel;
};

struct MousePanel {
  explicit MousePanel(forms::Form& form);
  forms::Frame FrameMouse;
  forms::Label XLabel, YLabel;
  forms::TextBox X, Y;
  forms::OptionButton LeftClick, LeftDown, RightClick, RightDown, LeftUp, RightUp, NoClick;
  forms::Button GetPosition;
  forms::Button Ok, Cancel;
};

struct LimitPanel {
  explicit LimitPanel(forms::Form& form);
  forms::Frame FrameLimit;
  forms::Label Hint;
  forms::TextBox WindowName;
  forms::ComboBox Match;
  forms::OptionButton QuitIfInactive, WaitUntilActive;
  forms::Button Ok, Cancel;
};

struct ActivatePanel {
  explicit ActivatePanel(forms::Form& form);
  forms::Frame FrameActivate;
  forms::Label Hint;
  forms::TextBox Title;
  forms::Button Ok, Cancel;
};

struct DelayPanel {
  explicit DelayPanel(forms::Form& form);
  forms::Frame FrameDeLay;
  forms::Label Hint;
  forms::TextBox Delay;
  forms::Button Ok, Cancel;
};

struct SendTextPanel {
  explicit SendTextPanel(forms::Form& form);
  forms::Frame FrameSendText;
  forms::Label Hint;
  forms::TextBox Text;
  forms::CheckBox Ctrl, Shift, Alt;
  forms::Button SampleKeys;
  forms::Button Ok, Cancel;
};

struct SavePanel {
  explicit SavePanel(forms::Form& form);
  forms::Frame FrameSave;
  forms::Label Hint;
  forms::TextBox Name;
  forms::Button Ok, Cancel;
};

struct EditPanel {
  explicit EditPanel(forms::Form& form);
  forms::Frame FrameEdit;
  forms::ListBox Macros;
  forms::Button Ok, Cancel;
};

}  // namespace qb
