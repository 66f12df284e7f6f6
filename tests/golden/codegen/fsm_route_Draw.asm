 
  // Start writing State Machine from here
  while ( ( Draw_CurrentState.read () != Draw_Done )  ) 
    {
 
    switch ( ( Draw_CurrentState.read () )  ) 
      {
 
      case Draw_Idle  :
        {
 
        // Actions
        req.write( SC_LOGIC_1  ) ;
        
 
        // Next State
        if ( ( go == 1 )  ) 
          {
          Draw_CurrentState.write( Draw_Done  ) ;
          }
        } break ;
 
 
      case Draw_Done  :
 
 
 
 
      // Trap State
      default :
        {
 
        // Next State
        Draw_CurrentState.write( Draw_Done  ) ;
        } break ;
      }
    Draw_Update () ;
    }
