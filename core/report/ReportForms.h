#pragma once
// The descriptions of the four report forms with a result table of one row: what each
// computes, where each figure stands, what is stored, uploaded and exported (FormDescriptor.h).

#include "core/report/FormDescriptor.h"

namespace qm::report {

// 202-1, the quarterly report of staff and total wages; its figures use {e}, the end month.
const FormDescriptor& QuarterWageForm();
// 102-1, the annual report of staff and total wages.
const FormDescriptor& AnnualWageForm();
// I202-2, the quarterly labour report; its figures use {from}..{e}, the run, and {ytd}..{e},
// its year to date.
const FormDescriptor& QuarterLabourForm();
// I102-2, the annual labour report.
const FormDescriptor& AnnualLabourForm();

}  // namespace qm::report
