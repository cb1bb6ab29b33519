#pragma once
// Holds an item model to Qt's rules for models (indexes and parents that agree, row counts of
// children, begin/end signals that match the change, persistent indexes still inside the
// model after a layout change) for as long as the model lives. Every change the test then
// makes is checked, and a broken rule fails the running test with the checker's message.

class QAbstractItemModel;

// Checks `model` and, when it is a proxy, the models it stands over.
void CheckModel(QAbstractItemModel* model);
