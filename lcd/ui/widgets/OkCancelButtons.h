#pragma once
// The "确定" / "取消" row every dialog of the editor ends with, wired to accept and reject
// (an override of accept, such as a dialog's own checks, is what "确定" runs).

class QDialog;
class QDialogButtonBox;

// The row, owned by `dialog` once it is laid out.
QDialogButtonBox* OkCancelButtons(QDialog* dialog);
