#pragma once

// The window's controls as a student sees them: name, kind, caption and place
// in twips, in tab order. The window's tests check the program against it and
// the benchmarks' plain window is built from it.
namespace windowControls
{

enum class Kind { TextBox, LineEdit, Button, Label, WrappedLabel, Picture, List };

struct Control {
    const char* name;
    int index; // element of a control array, or -1
    Kind kind;
    const char* caption;
    int left, top, width, height; // twips
};

// In tab order.
inline const Control kControls[] = {
    {"txt_question", -1, Kind::TextBox, "", 240, 720, 5175, 3255},
    {"txt_answer", -1, Kind::TextBox, "", 5640, 720, 5055, 3255},
    {"cmdNextQuestion", -1, Kind::Button, "Next Question / Answer", 240, 0, 975, 735},
    {"cmd_enter_response", -1, Kind::Button, "Enter Response", 5640, 240, 855, 495},
    {"Picture1", -1, Kind::Picture, "", 240, 4080, 5175, 3375},
    {"Picture2", -1, Kind::Picture, "", 5640, 4080, 5055, 3375},
    {"cmd_save_as_notes", -1, Kind::Button, "Save as Notes", 6480, 240, 855, 495},
    {"cmd_Make_paragraph", -1, Kind::Button, "Make Paragraph", 7320, 240, 975, 495},
    {"cmd_Make_Paragraph_question", -1, Kind::Button, "Make Paragraph", 1200, 240, 855, 495},
    {"txt_paragraph_goback", -1, Kind::LineEdit, "1", 3120, 240, 150, 285},
    {"lbl_paragraph_goback", -1, Kind::Label, "# sentences previous", 2880, 360, 135, 135},
    {"cmd_timerTrigger", -1, Kind::Button, "Trigger Timer", 2400, 7560, 735, 495},
    {"List1", -1, Kind::List, "", 3120, 7680, 1695, 840},
    {"lbl_parameter", 0, Kind::Label, "Parameter 1", 5640, 7680, 900, 195},
    {"txt_parameter", 0, Kind::LineEdit, "1", 6720, 7680, 300, 285},
    {"lbl_parameter", 1, Kind::Label, "Parameter 2", 5640, 8160, 855, 195},
    {"txt_parameter", 1, Kind::LineEdit, "1", 6720, 8160, 300, 285},
    {"lbl_parameter", 2, Kind::Label, "Parameter 3", 7200, 7680, 1005, 195},
    {"txt_parameter", 2, Kind::LineEdit, "1", 8205, 7680, 300, 285},
    {"lbl_parameter", 3, Kind::Label, "Parameter 4", 7200, 8160, 900, 195},
    {"txt_parameter", 3, Kind::LineEdit, "1", 8205, 8160, 300, 285},
    {"cmd_displayCumulativeText", -1, Kind::Button, "display SEND file", 4440, 240, 855, 495},
    {"cmd_display_note_file", -1, Kind::Button, "display notes", 3360, 360, 135, 195},
    {"cmd_quit", -1, Kind::Button, "quit program", 10200, 0, 735, 495},
    {"cmd_pend_exp", -1, Kind::Button, "pend exp", 8640, 7560, 495, 375},
    {"cmd_next_picture", -1, Kind::Button, "next picture", 1200, 7560, 855, 495},
    {"lbl_only_if_prompted", -1, Kind::WrappedLabel, "click only if prompted", 240, 7560, 855, 495},
    {"cmd_copy_picture", -1, Kind::Button, "copy picture", 1200, 8160, 855, 495},
    {"cmd_clear_answer_box", -1, Kind::Button, "clear box", 8280, 240, 855, 495},
};

} // namespace windowControls
