// ASKLIST: the valid answers in a list, one chosen. ASKFORMAT: the first
// valid answer holds the column headings and the others the rows, columns
// separated by "|", shown fifteen rows a page with "<<" and ">>".
#include <algorithm>

#include "boxes/box_frame.h"
#include "boxes/box_kinds.h"

namespace kes {

namespace {

constexpr WORD kIdList = 4001;
constexpr WORD kIdListHeader = 4002;  // ASKFORMAT: the column headings
constexpr WORD kIdPrev = 4003;        // ASKFORMAT: "<<"
constexpr WORD kIdNext = 4004;        // ASKFORMAT: ">>"
constexpr WORD kIdLineCounter = 4005;  // ASKFORMAT: "line N / M"
constexpr size_t kListPage = 15;

class AskListKind final : public Box {
 public:
  AskListKind(Interp& in, std::string_view text, bool format)
      : Box(in), format_(format), items_(in.vars.Sys(SysList::ANSWER)) {
    message.assign(text);
    center = in.sw.center;
    if (format_) {
      if (!items_.empty()) headings_ = SplitPlain(items_[0], "|");
      for (size_t i = 1; i < items_.size(); ++i) shown_.push_back(ReplaceAllCopy(items_[i], "|", "\t"));
    } else {
      shown_ = items_;
    }
  }

  HWND Init(HWND d) override {
    HWND lb = GetDlgItem(d, kIdList);
    if (format_) SetColumns(d, lb);
    ShowPage(d);
    return lb;
  }
  void Ok(HWND d) override {
    const LRESULT sel = SendDlgItemMessageA(d, kIdList, LB_GETCURSEL, 0, 0);
    const size_t i = static_cast<size_t>(sel) + top_;
    if (sel >= 0 && i < shown_.size()) {
      End(d, items_[format_ ? i + 1 : i]);
      return;
    }
    ShowValidation(d, kIdValidation);
  }
  bool Command(HWND d, int id, int code) override {
    if (id == kIdList) {
      if (code == LBN_DBLCLK) Ok(d);
      else if (code == LBN_SELCHANGE) SetDlgItemTextA(d, kIdValidation, "");
      return true;
    }
    if (format_ && (id == kIdPrev || id == kIdNext)) {
      const int total = static_cast<int>(shown_.size());
      int top = static_cast<int>(top_) + (id == kIdNext ? 1 : -1) * static_cast<int>(kListPage);
      top = std::clamp(top, 0, std::max(0, total - 1));
      if (static_cast<size_t>(top) != top_ && top < total) {
        top_ = static_cast<size_t>(top);
        ShowPage(d);
      }
      return true;
    }
    return false;
  }

  std::string Run() {
    int y = 36;
    const int nl = std::min<int>(kMaxLabelButtons, static_cast<int>(in.boxes.buttonLabels.size()));
    const int height = 36 + (format_ ? 11 : 0) + 140 + (format_ ? 16 : 0) + 14 + (nl ? ((nl + 4) / 5) * 16 + 2 : 0) +
                       21 + 24 + 10;
    DialogTemplate t(BoxStyle(), WS_EX_ACCEPTFILES, 405, height, "Message Kestrova");
    AddFrame(t, MessageControl::Static, center, 15, 4, 375, 27);
    const DWORD lbStyle = LBS_NOTIFY | WS_VSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT | WS_TABSTOP;
    if (format_) {
      t.Add(DialogTemplate::kListBox, kIdListHeader, 15, y, 375, 11, LBS_NOSEL | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT,
            0, "");
      y += 11;
    }
    t.Add(DialogTemplate::kListBox, kIdList, 15, y, 375, 140, lbStyle | (format_ ? LBS_USETABSTOPS : 0), 0, "");
    y += 140 + 2;
    if (format_) {
      t.Add(DialogTemplate::kButton, kIdPrev, 15, y, 30, 13, BS_PUSHBUTTON | WS_TABSTOP, 0, "<<");
      t.Add(DialogTemplate::kStatic, kIdLineCounter, 50, y + 2, 120, 10, SS_LEFT | SS_NOPREFIX, 0, "");
      t.Add(DialogTemplate::kButton, kIdNext, 175, y, 30, 13, BS_PUSHBUTTON | WS_TABSTOP, 0, ">>");
      y += 16;
    }
    t.Add(DialogTemplate::kStatic, kIdValidation, 27, y, 350, 10, SS_CENTER | SS_NOPREFIX, 0, "");
    y += 12;
    y = AddLabelButtons(t, in, y);
    AddOkCancel(t, in, false, y);
    AddFooter(t, kIdFooter, 88, y + 21, 230, 18);
    return RunBox(*this, t);
  }

 private:
  // Tab stops of the list and its headings from the widest text of each
  // column (60 characters at most; the first 2000 rows are measured).
  void SetColumns(HWND d, HWND lb) {
    std::vector<int> widths;
    auto measure = [&](const std::string& s) {
      size_t col = 0, start = 0;
      for (;;) {
        const size_t p = s.find('\t', start);
        const size_t len = (p == std::string::npos ? s.size() : p) - start;
        if (widths.size() <= col) widths.push_back(0);
        widths[col] = std::max(widths[col], static_cast<int>(std::min<size_t>(len, 60)));
        if (p == std::string::npos) break;
        start = p + 1;
        ++col;
      }
    };
    std::string head;
    for (size_t i = 0; i < headings_.size(); ++i) head += (i ? "\t" : "") + headings_[i];
    measure(head);
    for (size_t i = 0; i < shown_.size() && i < 2000; ++i) measure(shown_[i]);
    std::vector<int> stops;
    int at = 0;
    for (size_t i = 0; i + 1 < widths.size() && stops.size() < 64; ++i) {
      at += widths[i] * 4 + 8;
      stops.push_back(at);
    }
    HWND hb = GetDlgItem(d, kIdListHeader);
    if (!stops.empty()) {
      SendMessageA(lb, LB_SETTABSTOPS, stops.size(), reinterpret_cast<LPARAM>(stops.data()));
      SendMessageA(hb, LB_SETTABSTOPS, stops.size(), reinterpret_cast<LPARAM>(stops.data()));
    }
    SendMessageA(hb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(head.c_str()));
  }

  // ASKLIST shows every answer; ASKFORMAT the page from top_.
  void ShowPage(HWND d) {
    HWND lb = GetDlgItem(d, kIdList);
    SendMessageA(lb, WM_SETREDRAW, FALSE, 0);
    SendMessageA(lb, LB_RESETCONTENT, 0, 0);
    const size_t from = top_;
    const size_t to = format_ ? std::min(shown_.size(), from + kListPage) : shown_.size();
    if (!format_) SendMessageA(lb, LB_INITSTORAGE, to, to * 32);
    for (size_t i = from; i < to; ++i) SendMessageA(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown_[i].c_str()));
    SendMessageA(lb, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(lb, nullptr, TRUE);
    if (format_) {
      const std::string counter =
          "line " + std::to_string(shown_.empty() ? 0 : from + 1) + " / " + std::to_string(shown_.size());
      SetDlgItemTextA(d, kIdLineCounter, counter.c_str());
      EnableWindow(GetDlgItem(d, kIdPrev), from > 0);
      EnableWindow(GetDlgItem(d, kIdNext), to < shown_.size());
    }
  }

  bool format_;
  std::vector<std::string> items_;     // the valid answers
  std::vector<std::string> shown_;     // the rows of the list
  std::vector<std::string> headings_;  // ASKFORMAT
  size_t top_ = 0;                     // ASKFORMAT: the first row of the page
};

}  // namespace

std::string AskListBox(Interp& in, std::string_view message, bool format) {
  BoxAnswer a;
  if (Unattended(in, MakeOffer(in, BoxKind::AskList, format ? "ASKFORMAT" : "ASKLIST", message), a)) return a.answer;
  return AskListKind(in, message, format).Run();
}

}  // namespace kes
