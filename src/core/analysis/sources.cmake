# Sources of the analysis subsystem: reports, statistics, configuration texts, export rows
# and the workbook writer.
