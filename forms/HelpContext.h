#pragma once

class QObject;
class QWidget;

// The help topics, by the numbers that the windows' controls carry. A site's own help page marks
// the place of topic N with the anchor "ctxN", so the numbers are part of what administrators rely
// on and never change.
namespace HelpTopic {
constexpr int Contents = 1;
constexpr int Menus = 2;
constexpr int Board = 6;
constexpr int MemoBoard = 7;
constexpr int Preferences = 20;
constexpr int CustomGroup = 30;
constexpr int Details = 43;
constexpr int Absence = 45;
constexpr int MemoCheck = 46;
constexpr int Send = 47;
} // namespace HelpTopic

// The help topic that F1 opens for a control, a window or a menu command, kept on the object
// itself so that the windows can mark their parts without knowing the help window. A context of
// 0 means none: the nearest ancestor's applies.
void SetHelpContext(QObject* object, int context);
int HelpContextOf(const QObject* object);

// The context of `widget`, or else of its nearest ancestor that has one; 0 when none has.
int NearestHelpContext(const QWidget* widget);
