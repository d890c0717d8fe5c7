// DataSetStateGuard: the dataset's transient states (a record under test, a calculation) entered and
// left again, also when the handler inside raises.
#pragma once

#include "host/dataset.h"

namespace lm {

class DataSetStateGuard {
public:
    DataSetStateGuard(TDataSetState& state, TDataSetState transient) : m_state(state), m_saved(state) { state = transient; }
    ~DataSetStateGuard() { m_state = m_saved; }
    DataSetStateGuard(const DataSetStateGuard&) = delete;
    DataSetStateGuard& operator=(const DataSetStateGuard&) = delete;

private:
    TDataSetState& m_state;
    TDataSetState m_saved;
};

} // namespace lm
