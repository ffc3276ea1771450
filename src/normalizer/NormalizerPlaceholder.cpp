namespace sonaveld {}
