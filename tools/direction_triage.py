TRIAGE = {}
