# Sources of the analysis subsystem (reports, statistics, workbook writer).
