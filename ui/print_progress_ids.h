#pragma once
// Controls of the print progress dialog (template IDD_PRINT_PROGRESS in resource_ids.h).
// Plain #defines: also included by the resource script.

#define IDC_PRINT_JOB_NAME 1008
#define IDC_PRINT_DESTINATION 1009
#define IDC_PRINT_COPIES 1010
#define IDC_PRINT_PAGE 1011
