/*
 * Papyrant's skin: a Qt style sheet, applied to the main window at start-up when this file
 * ships beside the program. A light theme: white surfaces on a light grey window, flat rounded
 * buttons and one blue accent for "Start Converting".
 *
 * Fonts are deliberately not set here: the window keeps Arial / Liberation Sans bold 9 pt and the
 * buttons 11.25 pt, as laid out. Heights are fixed by the layout, so paddings stay small.
 *
 * Palette
 *   window     #f3f4f6     surface     #ffffff     text        #202124
 *   border     #d0d5dc     border dark #aab1bb     muted text  #5f6368
 *   accent     #1a73e8     accent dark #1558b0     focus ring  #8ab4f8
 *   selection  #d2e3fc
 */

/* The window and the plain containers on it. */
#Form1 {
    background-color: #f3f4f6;
    color: #202124;
}

QToolTip {
    color: #202124;
    background-color: #ffffff;
    border: 1px solid #aab1bb;
    padding: 3px 6px;
}

/* Push buttons: flat, rounded, a border that darkens on hover. */
QPushButton {
    color: #202124;
    background-color: #ffffff;
    border: 1px solid #d0d5dc;
    border-radius: 6px;
    padding: 2px 10px;
    outline: none;
}

QPushButton:hover {
    background-color: #eaf1fd;
    border-color: #8ab4f8;
}

QPushButton:pressed {
    background-color: #e2eafa;
    border-color: #8a929c;
}

/* A two-pixel ring; the padding gives back the extra pixel so the caption does not move. */
QPushButton:focus {
    border: 2px solid #1a73e8;
    padding: 1px 9px;
}

QPushButton:disabled {
    color: #9aa0a6;
    background-color: #f1f3f4;
    border-color: #e0e3e7;
}

/* The one call to action. */
QPushButton#PushButton2 {
    color: #ffffff;
    background-color: #1a73e8;
    border: 1px solid #1a73e8;
}

QPushButton#PushButton2:hover {
    background-color: #1967d2;
    border-color: #1967d2;
}

QPushButton#PushButton2:pressed {
    background-color: #1558b0;
    border-color: #1558b0;
}

QPushButton#PushButton2:focus {
    border: 2px solid #8ab4f8;
}

QPushButton#PushButton2:disabled {
    color: #e8f0fe;
    background-color: #8ab4f8;
    border-color: #8ab4f8;
}

/* The browse button beside the folder box is small: keep its dots centred. */
QPushButton#PushButton9, QPushButton#PushButton9:focus {
    padding: 0px;
}

/* Frames: white cards with a subtle border; the inner one without a title. */
QGroupBox#Frame5 {
    background-color: #ffffff;
    border: 1px solid #d0d5dc;
    border-radius: 8px;
    margin-top: 8px;
}

QGroupBox#Frame5::title {
    subcontrol-origin: margin;
    subcontrol-position: top left;
    left: 10px;
    padding: 0px 4px;
    color: #5f6368;
    background-color: #ffffff;
}

QGroupBox#Frame3 {
    background-color: #f8f9fa;
    border: 1px solid #e0e3e7;
    border-radius: 6px;
    margin-top: 0px;
}

/* The file list: white, a thin border, alternating rows, a soft blue selection. */
QTreeView#ListView1 {
    background-color: #ffffff;
    alternate-background-color: #f6f8fb;
    color: #202124;
    border: 1px solid #d0d5dc;
    border-radius: 6px;
    selection-background-color: #d2e3fc;
    selection-color: #202124;
    show-decoration-selected: 1;
    outline: none;
    qproperty-alternatingRowColors: true;
}

QTreeView#ListView1:focus {
    border: 1px solid #1a73e8;
}

QTreeView#ListView1::item {
    padding: 1px 2px;
    border: none;
}

QTreeView#ListView1::item:hover {
    background-color: #eef3fd;
}

QTreeView#ListView1::item:selected {
    background-color: #d2e3fc;
    color: #202124;
}

QHeaderView {
    background-color: transparent;
    border: none;
}

QHeaderView::section {
    color: #5f6368;
    background-color: #f8f9fa;
    border: none;
    border-bottom: 1px solid #d0d5dc;
    border-right: 1px solid #e8eaed;
    padding: 3px 6px;
}

QHeaderView::section:first {
    border-top-left-radius: 6px;
}

QScrollBar:vertical {
    background: transparent;
    width: 10px;
    margin: 2px;
}

QScrollBar::handle:vertical {
    background: #c4c9d0;
    border-radius: 3px;
    min-height: 24px;
}

QScrollBar::handle:vertical:hover {
    background: #9aa0a6;
}

QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical {
    height: 0px;
}

QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical {
    background: transparent;
}

QScrollBar:horizontal {
    background: transparent;
    height: 10px;
    margin: 2px;
}

QScrollBar::handle:horizontal {
    background: #c4c9d0;
    border-radius: 3px;
    min-width: 24px;
}

QScrollBar::handle:horizontal:hover {
    background: #9aa0a6;
}

QScrollBar::add-line:horizontal, QScrollBar::sub-line:horizontal {
    width: 0px;
}

QScrollBar::add-page:horizontal, QScrollBar::sub-page:horizontal {
    background: transparent;
}

/* The output folder box. */
QLineEdit#Text1 {
    color: #202124;
    background-color: #ffffff;
    border: 1px solid #c4c9d0;
    border-radius: 5px;
    padding: 1px 6px;
    selection-background-color: #1a73e8;
    selection-color: #ffffff;
}

QLineEdit#Text1:hover {
    border-color: #9aa0a6;
}

QLineEdit#Text1:focus {
    border: 1px solid #1a73e8;
}

QLineEdit#Text1:disabled {
    color: #9aa0a6;
    background-color: #f1f3f4;
    border-color: #e0e3e7;
}

/* The two output options: round indicators drawn here, a blue dot when chosen. */
QRadioButton#Option1, QRadioButton#Option2 {
    color: #202124;
    background-color: transparent;
    spacing: 6px;
}

QRadioButton#Option1:disabled, QRadioButton#Option2:disabled {
    color: #9aa0a6;
}

QRadioButton#Option1::indicator, QRadioButton#Option2::indicator {
    width: 12px;
    height: 12px;
    border: 1px solid #8a929c;
    border-radius: 7px;
    background-color: #ffffff;
}

QRadioButton#Option1::indicator:hover, QRadioButton#Option2::indicator:hover {
    border-color: #1a73e8;
}

QRadioButton#Option1::indicator:focus, QRadioButton#Option2::indicator:focus {
    border-color: #1a73e8;
}

QRadioButton#Option1::indicator:checked, QRadioButton#Option2::indicator:checked {
    border: 1px solid #1a73e8;
    background-color: qradialgradient(cx: 0.5, cy: 0.5, radius: 0.5, fx: 0.5, fy: 0.5,
                                      stop: 0 #1a73e8, stop: 0.55 #1a73e8, stop: 0.65 #ffffff, stop: 1 #ffffff);
}

QRadioButton#Option1::indicator:checked:disabled, QRadioButton#Option2::indicator:checked:disabled {
    border-color: #aab1bb;
    background-color: qradialgradient(cx: 0.5, cy: 0.5, radius: 0.5, fx: 0.5, fy: 0.5,
                                      stop: 0 #aab1bb, stop: 0.55 #aab1bb, stop: 0.65 #ffffff, stop: 1 #ffffff);
}

/* The progress bar: a light track, a blue fill, the text in the middle. */
QProgressBar#ProgressBar1 {
    color: #202124;
    background-color: #e8eaed;
    border: 1px solid #d0d5dc;
    border-radius: 6px;
    text-align: center;
}

QProgressBar#ProgressBar1::chunk {
    background-color: #8ab4f8;
    border-radius: 5px;
}
